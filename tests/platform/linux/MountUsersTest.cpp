#include "platform/linux/mounting/MountUsers.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace harbormind {
namespace {

// A block device node this test may open for reading; empty when there is none.
std::string readableBlockDevice() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/block", error)) {
        const std::string node = "/dev/" + entry.path().filename().string();
        int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            return node;
        }
    }
    return {};
}

// Another process holding `node` open with `flags` until the object goes.
class Holder {
public:
    Holder(const std::string& node, int flags) {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(release[1]);  // its end of file is the release
            int fd = ::open(node.c_str(), flags);
            char byte = fd >= 0 ? 'y' : 'n';
            [[maybe_unused]] auto written = ::write(ready[1], &byte, 1);
            [[maybe_unused]] auto read = ::read(release[0], &byte, 1);
            ::_exit(0);
        }
        char byte = 'n';
        [[maybe_unused]] auto got = ::read(ready[0], &byte, 1);
        holding_ = byte == 'y';
        release_ = release[1];
        for (int fd : {ready[0], ready[1], release[0]}) {
            ::close(fd);
        }
    }
    ~Holder() {
        ::close(release_);
        ::waitpid(pid_, nullptr, 0);
    }
    bool holding() const { return holding_; }
    std::string named() const { return "(pid " + std::to_string(pid_) + ")"; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool holding_ = false;
};

TEST(MountUsersTest, ADeviceOpenedIsInUseButOneOnlyNamedWithOPathIsNot) {
    const std::string node = readableBlockDevice();
    if (node.empty()) {
        GTEST_SKIP() << "no block device this test may open";
    }
    Holder opened(node, O_RDONLY | O_NONBLOCK);
    Holder named(node, O_PATH);
    ASSERT_TRUE(opened.holding() && named.holding());
    const std::string users = MountUsers().ofDevices({node});
    EXPECT_NE(users.find(opened.named()), std::string::npos) << users;
    EXPECT_EQ(users.find(named.named()), std::string::npos) << users;
}

}  // namespace
}  // namespace harbormind
