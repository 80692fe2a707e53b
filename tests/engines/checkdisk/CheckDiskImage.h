#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "testsupport/LoopImageCleanup.h"

namespace harbormind::test {

// A small file-system image in a folder of its own, optionally attached to a loop device.
// The loop device is touched only while the kernel names this image as its backing file,
// and is detached by its exact name (after unmounting what this test mounted from it), also
// when the test process dies without destroying it (see LoopImageCleanup).
class CheckDiskImage {
public:
    explicit CheckDiskImage(int megabytes) {
        std::string pattern = (std::filesystem::temp_directory_path() / "hm-firstaid-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        image_ = folder_ + "/volume.img";
        cleanup_ = std::make_unique<LoopImageCleanup>(image_, folder_);
        run("truncate -s " + std::to_string(megabytes) + "M " + quoted(image_));
    }
    ~CheckDiskImage() {
        detach();
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    CheckDiskImage(const CheckDiskImage&) = delete;
    CheckDiskImage& operator=(const CheckDiskImage&) = delete;

    static std::string loopUnavailableReason() {
        if (::geteuid() != 0) {
            return "needs root to attach loop devices";
        }
        if (!std::filesystem::exists("/dev/loop-control") || !run("command -v losetup")) {
            return "no loop devices here";
        }
        return {};
    }
    static bool hasTool(const std::string& tool) { return run("command -v " + tool); }

    const std::string& image() const { return image_; }
    const std::string& folder() const { return folder_; }
    std::string device() const { return loop_.empty() ? image_ : loop_; }

    bool attach() {
        std::string output = capture("losetup -f --show " + quoted(image_));
        while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) {
            output.pop_back();
        }
        if (output.rfind("/dev/loop", 0) != 0) {
            return false;
        }
        loop_ = output;
        if (!isOurs()) {
            loop_.clear();
        }
        return !loop_.empty();
    }
    bool isOurs() const {
        if (loop_.empty()) {
            return false;
        }
        std::ifstream in("/sys/block/" + loop_.substr(5) + "/loop/backing_file");
        std::string backing;
        std::getline(in, backing);
        std::error_code error;
        return !backing.empty() && std::filesystem::equivalent(backing, image_, error);
    }
    std::string mountPoint() const { return folder_ + "/mnt"; }
    bool mount() {
        std::filesystem::create_directories(mountPoint());
        mounted_ = isOurs() && run("mount " + quoted(loop_) + " " + quoted(mountPoint()));
        return mounted_;
    }
    void unmount() {
        if (mounted_) {
            run("umount " + quoted(mountPoint()));
            mounted_ = false;
        }
    }
    void detach() {
        unmount();
        if (isOurs()) {
            run("losetup -d " + quoted(loop_));
        }
        loop_.clear();
    }

    // The image's SHA-256, read past the page cache's view of the loop device.
    std::string checksum() const { return capture("sha256sum " + quoted(image_)).substr(0, 64); }

    static bool run(const std::string& line) { return std::system((line + " >/dev/null 2>&1").c_str()) == 0; }
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
    static std::string quoted(const std::string& value) { return "'" + value + "'"; }

private:
    std::string folder_;
    std::string image_;
    std::string loop_;
    bool mounted_ = false;
    std::unique_ptr<LoopImageCleanup> cleanup_;
};

}  // namespace harbormind::test
