#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engines/clone/CloneTestProgram.h"
#include "testsupport/LoopImageCleanup.h"

namespace harbormind::clone::test {

// An image file attached to a loop device of its own. Before any action it checks that the
// loop device is still backed by its image, and it detaches only that exact device, also when
// the test process dies without destroying it (see LoopImageCleanup).
class CloneLoopDevice {
public:
    static std::string unavailableReason() {
        if (::geteuid() != 0) {
            return "needs root to attach loop devices";
        }
        if (!std::filesystem::exists("/dev/loop-control")) {
            return "no loop device support (/dev/loop-control)";
        }
        if (runProgram({"losetup", "--version"}) != 0 || runProgram({"mkfs.ext4", "-V"}) != 0) {
            return "losetup or mkfs.ext4 is not installed";
        }
        return {};
    }

    // A new image of `megabytes`, or with 0 the image already there (a second loop device
    // over one file, at an offset given in `options`).
    CloneLoopDevice(const std::filesystem::path& folder, const std::string& file, std::uint64_t megabytes,
                    std::vector<std::string> options = {})
        : image_(folder / file) {
        std::filesystem::create_directories(folder);
        if (megabytes > 0) {
            { std::ofstream create(image_); }
            std::filesystem::resize_file(image_, megabytes << 20);
        }
        std::vector<std::string> argv{"losetup", "--find", "--show"};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(image_.string());
        std::string output;
        if (runProgram(argv, &output) == 0 && output.rfind("/dev/loop", 0) == 0) {
            name_ = output.substr(5, output.find('\n') - 5);
            if (!isOurs()) {
                name_.clear();
            } else {
                cleanup_ = std::make_unique<harbormind::test::LoopImageCleanup>(image_.string(), std::string(), name_);
            }
            baseline_ = sectorsWritten() * 512;
        }
    }
    ~CloneLoopDevice() { detach(); }
    CloneLoopDevice(const CloneLoopDevice&) = delete;
    CloneLoopDevice& operator=(const CloneLoopDevice&) = delete;

    bool attached() const { return !name_.empty(); }
    const std::string& name() const { return name_; }
    std::string node() const { return "/dev/" + name_; }
    const std::filesystem::path& image() const { return image_; }

    bool isOurs() const {
        if (name_.empty()) {
            return false;
        }
        std::ifstream in("/sys/block/" + name_ + "/loop/backing_file");
        std::string backing;
        std::getline(in, backing);
        std::error_code error;
        return !backing.empty() && std::filesystem::equivalent(backing, image_, error);
    }

    // Bytes the kernel has written to the device since this test attached it (its counters
    // live as long as the loop device, which may have served others before).
    std::uint64_t bytesWritten() const { return sectorsWritten() * 512 - baseline_; }

    // Partitions of the device for the kernel, from the image's partition table.
    bool announcePartitions() const { return isOurs() && runProgram({"partx", "-a", node()}) == 0; }

    void detach() {
        if (isOurs()) {
            runProgram({"partx", "-d", node()});
            runProgram({"losetup", "-d", node()});
        }
        name_.clear();
    }

private:
    std::uint64_t sectorsWritten() const {
        std::ifstream in("/sys/block/" + name_ + "/stat");
        std::uint64_t field[7] = {};
        for (auto& value : field) {
            in >> value;
        }
        return field[6];
    }

    std::uint64_t baseline_ = 0;
    std::filesystem::path image_;
    std::string name_;
    std::unique_ptr<harbormind::test::LoopImageCleanup> cleanup_;
};

}  // namespace harbormind::clone::test
