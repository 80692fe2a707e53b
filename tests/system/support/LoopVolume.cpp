#include "system/support/LoopVolume.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "system/support/SystemWait.h"
#include "testsupport/ProgramRun.h"
#include "testsupport/WholeFile.h"

namespace harbormind::test {
namespace {

std::vector<std::string> mkfs(const LoopVolumeOrder& order, const std::string& target) {
    const std::string& type = order.fileSystem;
    if (type == "vfat") {
        return {"mkfs.vfat", "-n", order.label, target};
    }
    if (type == "exfat") {
        return {"mkfs.exfat", "-L", order.label, target};
    }
    if (type == "ntfs") {
        return {"mkfs.ntfs", "-Q", "-F", "-L", order.label, target};
    }
    if (type == "xfs" || type == "btrfs") {
        return {"mkfs." + type, "-q", "-f", "-L", order.label, target};
    }
    return {"mkfs." + type, "-q", "-F", "-L", order.label, target};
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

std::unique_ptr<LoopVolume> LoopVolume::create(const std::string& folder, const LoopVolumeOrder& order,
                                               std::string& error) {
    std::unique_ptr<LoopVolume> loop(new LoopVolume());
    loop->spec_ = order;
    loop->image_ = folder + "/" + (order.label.empty() ? "blank" : order.label) + ".img";
    std::ofstream(loop->image_).close();
    std::filesystem::resize_file(loop->image_, static_cast<std::uintmax_t>(order.megabytes) << 20);
    const std::string log = folder + "/loop-setup.log";
    if (order.partitioned) {
        Outcome table = runProgram({"sh", "-c", "printf 'label: gpt\\n,,L\\n' | sfdisk -q \"$0\"", loop->image_}, {}, log);
        if (table.status != 0) {
            error = "sfdisk failed: " + readWholeFile(log);
            return nullptr;
        }
    } else if (!order.fileSystem.empty() && runProgram(mkfs(order, loop->image_), {}, log).status != 0) {
        error = "mkfs." + order.fileSystem + " failed: " + readWholeFile(log);
        return nullptr;
    }
    loop->cleanup_ = std::make_unique<LoopImageCleanup>(loop->image_);
    std::vector<std::string> attach{"losetup", "--find", "--show"};
    if (order.partitioned) {
        attach.push_back("--partscan");
    }
    attach.push_back(loop->image_);
    Outcome attached = runProgram(attach, {}, log);
    if (attached.status != 0) {
        error = "no free loop device: " + readWholeFile(log);
        return nullptr;
    }
    loop->disk_ = firstLine(attached.out).substr(std::string("/dev/").size());
    loop->volume_ = order.partitioned ? loop->disk_ + "p1" : loop->disk_;
    if (order.partitioned && !order.fileSystem.empty()) {
        // Where the kernel reads no partition tables itself, partx tells it of the partition;
        // its node then appears (devtmpfs), which may take a moment.
        runProgram({"partx", "--add", "/dev/" + loop->disk_}, {}, log);
        const std::string node = loop->volumePath();
        bool appeared = SystemWait::until([&node] { return std::filesystem::exists(node); }, std::chrono::seconds(10));
        if (!appeared || runProgram(mkfs(order, node), {}, log).status != 0) {
            error = "mkfs." + order.fileSystem + " on " + loop->volumePath() + " failed: " + readWholeFile(log);
            return nullptr;
        }
    }
    for (const std::string& device : loop->devices()) {
        if (auto record = UdevRecord::write(device)) {
            loop->udevRecords_.push_back(std::move(record));
        }
    }
    return loop;
}

std::vector<std::string> LoopVolume::devices() const {
    std::vector<std::string> paths{"/dev/" + disk_};
    if (volume_ != disk_) {
        paths.push_back(volumePath());
    }
    return paths;
}

void LoopVolume::refreshUdevRecords() {
    for (const auto& record : udevRecords_) {
        record->refresh();
    }
}

bool LoopVolume::attached() const {
    if (disk_.empty()) {
        return false;
    }
    std::string backing = firstLine(readWholeFile("/sys/block/" + disk_ + "/loop/backing_file"));
    return !backing.empty() && std::filesystem::equivalent(backing, image_);
}

LoopVolume::~LoopVolume() {
    udevRecords_.clear();
    // Unmounts what is mounted from the device or its partition, then detaches it.
    cleanup_.reset();
}

}  // namespace harbormind::test
