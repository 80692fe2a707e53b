#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "testsupport/LoopImageCleanup.h"

namespace harbormind::test {

// A disk image attached to a loop device for a real-device test. It checks the loop device
// is its own (the kernel's backing file is its image) before touching it. When it is
// destroyed, or when the test process dies without destroying it, the loop devices of its
// image are detached and the image's folder removed (see LoopImageCleanup).
class LoopDisk {
public:
    // Why real-device tests cannot run here; empty when they can.
    static std::string unavailableReason() {
        if (::geteuid() != 0) {
            return "needs root to attach loop devices";
        }
        if (!std::filesystem::exists("/dev/loop-control")) {
            return "no loop device support (/dev/loop-control)";
        }
        for (const char* tool : {"losetup", "partx", "sfdisk", "mkfs.ext4"}) {
            if (!shell(std::string("command -v ") + tool)) {
                return std::string(tool) + " is not installed";
            }
        }
        return {};
    }

    explicit LoopDisk(int megabytes) {
        std::string pattern = (std::filesystem::temp_directory_path() / "hm-loop-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        image_ = folder_ + "/disk.img";
        cleanup_ = std::make_unique<LoopImageCleanup>(image_, folder_);
        shell("truncate -s " + std::to_string(megabytes) + "M '" + image_ + "'");
    }
    LoopDisk(const LoopDisk&) = delete;
    LoopDisk& operator=(const LoopDisk&) = delete;

    const std::string& image() const { return image_; }
    const std::string& name() const { return name_; }
    std::string node() const { return "/dev/" + name_; }
    std::string partition(int number) const { return name_ + "p" + std::to_string(number); }

    // Writes a partition table to the image with sfdisk's script syntax.
    bool partition(const std::string& script) const {
        return shell("printf '" + script + "' | sfdisk -q '" + image_ + "'");
    }

    // Attaches the image; partitions are announced with partx (no kernel table parser here).
    bool attach() {
        std::string output = capture("losetup -fP --show '" + image_ + "'");
        while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) {
            output.pop_back();
        }
        if (output.rfind("/dev/loop", 0) != 0) {
            return false;
        }
        name_ = output.substr(5);
        if (!isOurs()) {
            name_.clear();
            return false;
        }
        return true;
    }
    bool announcePartitions() const { return isOurs() && shell("partx -a '" + node() + "'"); }

    // True while the loop device is attached to this test's image.
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

    bool format(int number, const std::string& command) const {
        return isOurs() && shell(command + " '/dev/" + partition(number) + "'");
    }

    static bool shell(const std::string& line) { return std::system((line + " >/dev/null 2>&1").c_str()) == 0; }
    static std::string capture(const std::string& line) {
        std::string output;
        if (FILE* pipe = ::popen((line + " 2>/dev/null").c_str(), "r")) {
            char buffer[512];
            while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
                output += buffer;
            }
            ::pclose(pipe);
        }
        return output;
    }

private:
    std::string folder_;
    std::string image_;
    std::string name_;
    std::unique_ptr<LoopImageCleanup> cleanup_;
};

}  // namespace harbormind::test
