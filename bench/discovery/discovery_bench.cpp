// Discovery benchmark: how long the Linux platform takes to report a machine with many disks,
// and how soon it reports a disk after it is attached, beside `lsblk -J -O` on the same
// devices in the same run.
//
//   discovery_bench WORK_FOLDER [DISKS]      (root; run through bench/discovery/run)
//
// It makes DISKS loop images (GPT, an ext4 and a FAT partition each), attaches them, then:
//  1. start to complete tree: a fresh platform and session, until every disk and partition
//     of the images was reported and described (each description read once, as the drive
//     model does when it classifies a drive); against `lsblk -J -O` over the same devices;
//  2. attach to appearance: with a session running, `losetup -fP` + `partx -a` of one more
//     image until its disk and its last partition were reported; against `lsblk -J -O` of
//     that one device.
// Each measurement is the median of several runs. Every loop device it attached is detached
// (checked by its backing file) and every image removed, also on failure.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/DiskArbitration.h"
#include "platform/DiskArbitrationSession.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/Clock.h"
#include "support/SerialQueue.h"

namespace {

using harbormind::Clock;
using Steady = std::chrono::steady_clock;

bool shell(const std::string& line) {
    return std::system((line + " >/dev/null 2>&1").c_str()) == 0;
}

std::string capture(const std::string& line) {
    std::string output;
    if (FILE* pipe = ::popen((line + " 2>/dev/null").c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        ::pclose(pipe);
    }
    while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) {
        output.pop_back();
    }
    return output;
}

double secondsSince(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Loop devices this run attached, each with the image it must be attached to.
class Attachments {
public:
    explicit Attachments(std::string stateFile) : stateFile_(std::move(stateFile)) {}
    ~Attachments() { detachAll(); }

    std::optional<std::string> attach(const std::string& image) {
        std::string node = capture("losetup -fP --show '" + image + "'");
        if (node.rfind("/dev/loop", 0) != 0) {
            return std::nullopt;
        }
        std::string name = node.substr(5);
        attached_.emplace_back(name, image);
        std::ofstream(stateFile_, std::ios::app) << name << " " << image << "\n";
        if (!isAttachedTo(name, image) || !shell("partx -a '" + node + "'")) {
            return std::nullopt;
        }
        return name;
    }

    void detach(const std::string& name) {
        for (auto it = attached_.begin(); it != attached_.end(); ++it) {
            if (it->first == name) {
                if (isAttachedTo(it->first, it->second)) {
                    shell("partx -d '/dev/" + name + "'");
                    shell("losetup -d '/dev/" + name + "'");
                }
                attached_.erase(it);
                return;
            }
        }
    }

    void detachAll() {
        while (!attached_.empty()) {
            detach(attached_.back().first);
        }
    }

    static bool isAttachedTo(const std::string& name, const std::string& image) {
        std::ifstream in("/sys/block/" + name + "/loop/backing_file");
        std::string backing;
        std::getline(in, backing);
        std::error_code error;
        return !backing.empty() && std::filesystem::equivalent(backing, image, error);
    }

private:
    std::string stateFile_;
    std::vector<std::pair<std::string, std::string>> attached_;
};

// Records when a session reported each disk, reading each description once as the drive model
// does. Every appearance is recorded, also one that comes before the caller knows the name (a
// disk can be reported before `losetup --show` has returned its name).
class Observer {
public:
    explicit Observer(std::set<std::string> expected) : expected_(std::move(expected)) {}

    void watch(harbormind::DiskArbitrationSession& session) {
        session.registerDiskAppeared([this, &session](const harbormind::DADisk& disk) {
            if (!session.copyDescription(disk)) {
                return;
            }
            {
                std::lock_guard lock(mutex_);
                appeared_[disk.bsdName()] = Steady::now();
            }
            Clock::current().notifyAll();
        });
    }

    bool waitForAll(double limitSeconds) {
        Clock& clock = Clock::current();
        return clock.waitUntil(
            [this] {
                std::lock_guard lock(mutex_);
                return std::all_of(expected_.begin(), expected_.end(),
                                   [this](const std::string& name) { return appeared_.count(name) != 0; });
            },
            clock.now() + harbormind::seconds(limitSeconds));
    }
    // True once `name` appeared at `since` or later.
    bool waitFor(const std::string& name, Steady::time_point since, double limitSeconds) {
        Clock& clock = Clock::current();
        return clock.waitUntil(
            [this, &name, since] {
                std::lock_guard lock(mutex_);
                auto it = appeared_.find(name);
                return it != appeared_.end() && it->second >= since;
            },
            clock.now() + harbormind::seconds(limitSeconds));
    }

private:
    std::mutex mutex_;
    const std::set<std::string> expected_;
    std::map<std::string, Steady::time_point> appeared_;
};

std::vector<std::string> devicesOf(const std::string& disk) {
    return {disk, disk + "p1", disk + "p2"};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: discovery_bench WORK_FOLDER [DISKS]\n";
        return 2;
    }
    const std::string work = argv[1];
    const int disks = argc > 2 ? std::atoi(argv[2]) : 32;
    const int runs = 5;
    Attachments attachments(work + "/attached");

    // A template image, formatted once through a loop device, then copied sparsely.
    const std::string image = work + "/template.img";
    if (!shell("truncate -s 128M '" + image + "'") ||
        !shell("printf 'label: gpt\\n,60M,L\\n,60M,EBD0A0A2-B9E5-4433-87C0-68B6B72699C7\\n' | sfdisk -q '" + image + "'")) {
        std::cerr << "cannot make the template image\n";
        return 1;
    }
    auto templateDisk = attachments.attach(image);
    if (!templateDisk || !shell("mkfs.ext4 -q -F -L bench '/dev/" + *templateDisk + "p1'") ||
        !shell("mkfs.vfat -n BENCH '/dev/" + *templateDisk + "p2'")) {
        std::cerr << "cannot format the template image\n";
        return 1;
    }
    attachments.detach(*templateDisk);

    std::vector<std::string> names;
    std::set<std::string> expected;
    for (int i = 0; i < disks + runs; ++i) {
        std::string copy = work + "/disk" + std::to_string(i) + ".img";
        if (!shell("cp --sparse=always '" + image + "' '" + copy + "'")) {
            std::cerr << "cannot copy the template image\n";
            return 1;
        }
        if (i >= disks) {
            continue;
        }
        auto name = attachments.attach(copy);
        if (!name) {
            std::cerr << "cannot attach " << copy << "\n";
            return 1;
        }
        names.push_back(*name);
        for (const auto& device : devicesOf(*name)) {
            expected.insert(device);
        }
    }
    std::string lsblkAll = "lsblk -J -O";
    for (const auto& name : names) {
        lsblkAll += " /dev/" + name;
    }

    harbormind::LinuxPaths paths;
    std::vector<double> treeTimes;
    std::vector<double> lsblkTimes;
    for (int run = 0; run < runs; ++run) {
        auto start = Steady::now();
        {
            harbormind::LinuxPlatform platform(paths);
            auto session = platform.diskArbitration().createSession();
            session->setDispatchQueue(harbormind::SerialQueue::create("bench.session"));
            Observer observer(expected);
            observer.watch(*session);
            if (!observer.waitForAll(60)) {
                std::cerr << "the tree was not complete within 60 s\n";
                return 1;
            }
            treeTimes.push_back(secondsSince(start));
            session->setDispatchQueue(nullptr);
        }
        start = Steady::now();
        if (!shell(lsblkAll)) {
            std::cerr << "lsblk failed\n";
            return 1;
        }
        lsblkTimes.push_back(secondsSince(start));
    }

    std::vector<double> diskLatency;
    std::vector<double> partitionLatency;
    std::vector<double> lsblkOne;
    {
        harbormind::LinuxPlatform platform(paths);
        auto session = platform.diskArbitration().createSession();
        session->setDispatchQueue(harbormind::SerialQueue::create("bench.session"));
        Observer observer(expected);
        observer.watch(*session);
        observer.waitForAll(60);
        for (int run = 0; run < runs; ++run) {
            std::string copy = work + "/disk" + std::to_string(disks + run) + ".img";
            auto start = Steady::now();
            std::string node = capture("losetup -fP --show '" + copy + "'");
            if (node.rfind("/dev/loop", 0) != 0) {
                std::cerr << "cannot attach " << copy << "\n";
                return 1;
            }
            std::string name = node.substr(5);
            std::ofstream(work + "/attached", std::ios::app) << name << " " << copy << "\n";
            if (!observer.waitFor(name, start, 20)) {
                std::cerr << "no appearance of " << name << " within 20 s\n";
                return 1;
            }
            diskLatency.push_back(secondsSince(start));
            shell("partx -a '" + node + "'");
            if (!observer.waitFor(name + "p2", start, 20)) {
                std::cerr << "no appearance of " << name << "p2 within 20 s\n";
                return 1;
            }
            partitionLatency.push_back(secondsSince(start));
            auto lsblkStart = Steady::now();
            shell("lsblk -J -O '" + node + "'");
            lsblkOne.push_back(secondsSince(lsblkStart));
            if (Attachments::isAttachedTo(name, copy)) {
                shell("partx -d '" + node + "'");
                shell("losetup -d '" + node + "'");
            }
        }
        session->setDispatchQueue(nullptr);
    }
    attachments.detachAll();

    const double tree = median(treeTimes);
    const double lsblk = median(lsblkTimes);
    std::printf("start to complete tree, %d disks with 2 partitions (%zu devices): %.1f ms\n", disks,
                expected.size(), tree * 1000);
    std::printf("lsblk -J -O on the same devices:                        %.1f ms\n", lsblk * 1000);
    std::printf("ratio ours/lsblk: %.2f\n", tree / lsblk);
    const double disk = median(diskLatency);
    const double partitions = median(partitionLatency);
    const double one = median(lsblkOne);
    std::printf("attach to appearance of the disk (losetup -fP):           %.1f ms\n", disk * 1000);
    std::printf("attach to appearance of its last partition (with partx -a): %.1f ms\n", partitions * 1000);
    std::printf("lsblk -J -O of that one device:                           %.1f ms\n", one * 1000);
    std::printf("ratio ours (disk appeared)/lsblk: %.2f\n", disk / one);
    return 0;
}
