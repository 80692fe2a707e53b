#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>

#include "drivemodel/DMCheckDiskWrapper.h"
#include "drivemodel/DMCheckDiskWrapperDelegate.h"
#include "engines/checkdisk/CheckDiskImage.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/PrivateBusTest.h"
#include "xpc/DMCheckStatus.h"
#include "xpc/XPCServiceName.h"
#include "xpc/XPCTransport.h"
#include "xpc/dbus/DBusXPCTransport.h"

namespace harbormind {
namespace {

using test::CheckDiskImage;

constexpr std::int64_t start = static_cast<std::int64_t>(DMCheckStatus::checkStart);
constexpr std::int64_t running = static_cast<std::int64_t>(DMCheckStatus::checkRuning);
constexpr std::int64_t end = static_cast<std::int64_t>(DMCheckStatus::checkEnd);
constexpr std::int64_t stop = static_cast<std::int64_t>(DMCheckStatus::checkStop);

// The window's side of a run: every line the daemon streams, in arrival order.
class StreamDelegate final : public DMCheckDiskWrapperDelegate {
public:
    void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) override {
        std::lock_guard lock(mutex_);
        lines_.emplace_back(checkStatus, info);
        changed_.notify_all();
    }

    // The run's lines once it has ended (checkEnd or checkStop); empty when it does not end
    // within the bound. The checker is a real child process of the daemon.
    std::vector<std::pair<std::int64_t, std::string>> waitForEnd() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(60), [this] {
            return !lines_.empty() && (lines_.back().first == end || lines_.back().first == stop);
        });
        auto lines = std::move(lines_);
        lines_.clear();
        bool ended = !lines.empty() && (lines.back().first == end || lines.back().first == stop);
        return ended ? lines : decltype(lines){};
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::pair<std::int64_t, std::string>> lines_;
};

std::string textOf(const std::vector<std::pair<std::int64_t, std::string>>& lines) {
    std::string text;
    for (const auto& [status, line] : lines) {
        text += std::to_string(status) + " " + line + "\n";
    }
    return text;
}

// First Aid as the application runs it on a desktop: the window's wrapper talks over the
// real bus transport to the real daemon program on a private bus, which checks and repairs a
// damaged ext4 volume on a real loop device.
class FirstAidBusTest : public test::PrivateBusTest {
protected:
    void SetUp() override {
        if (std::string reason = CheckDiskImage::loopUnavailableReason(); !reason.empty()) {
            GTEST_SKIP() << "First Aid through the daemon " << reason;
        }
        for (const char* tool : {"mkfs.ext4", "debugfs", "e2fsck"}) {
            if (!CheckDiskImage::hasTool(tool)) {
                GTEST_SKIP() << tool << " is not installed";
            }
        }
        PrivateBusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        std::ofstream(bus->folder() + "/drivemanagerd.conf") << "";
        daemon = std::make_unique<test::ChildProcess>(
            std::vector<std::string>{HARBORMIND_DAEMON_PATH, "--config", bus->folder() + "/drivemanagerd.conf",
                                     "--media-root", bus->folder() + "/media"},
            std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus->address()}}, nullptr,
            bus->folder() + "/daemon.log");
        ASSERT_TRUE(bus->waitForName(XPCServiceName::checkDisk));
        XPCTransport::setCurrent(std::make_shared<DBusXPCTransport>());
        image = std::make_unique<CheckDiskImage>(32);
        wrapper = DMCheckDiskWrapper::create();
        wrapper->setDelegate(delegate);
    }

    void TearDown() override {
        wrapper.reset();
        XPCTransport::setCurrent(nullptr);
        daemon.reset();
        image.reset();
        bus.reset();
    }

    std::vector<std::pair<std::int64_t, std::string>> firstAid(const std::optional<std::string>& command) {
        EXPECT_TRUE(command.has_value());
        wrapper->runCommand(command.value_or(""));
        return delegate->waitForEnd();
    }

    std::string loopName() const { return image->device().substr(5); }

    std::unique_ptr<test::ChildProcess> daemon;
    std::unique_ptr<CheckDiskImage> image;
    std::shared_ptr<StreamDelegate> delegate = std::make_shared<StreamDelegate>();
    std::shared_ptr<DMCheckDiskWrapper> wrapper;
};

TEST_F(FirstAidBusTest, AWrongFreeBlocksCountIsFoundThenMendedAndTheFilesSurvive) {
    std::string volume = CheckDiskImage::quoted(image->image());
    std::string kept = image->folder() + "/kept";
    ASSERT_TRUE(CheckDiskImage::run("dd if=/dev/urandom bs=1024 count=200 of=" + CheckDiskImage::quoted(kept)));
    ASSERT_TRUE(CheckDiskImage::run("mkfs.ext4 -q -F " + volume));
    ASSERT_TRUE(CheckDiskImage::run("debugfs -w -R 'write " + kept + " kept' " + volume));
    ASSERT_TRUE(CheckDiskImage::run("debugfs -w -R 'ssv free_blocks_count 1234' " + volume));
    ASSERT_TRUE(image->attach());
    std::string before = image->checksum();

    // The checker line without -F only checks, whatever file system the device holds.
    auto check = firstAid(wrapper->shell().ntfsChecker(loopName(), false));
    ASSERT_GE(check.size(), 3u) << "the check did not end:\n" << textOf(check);
    EXPECT_EQ(check.front().first, start) << textOf(check);
    EXPECT_EQ(check.back().first, end) << textOf(check);
    for (std::size_t i = 1; i + 1 < check.size(); ++i) {
        EXPECT_EQ(check[i].first, running) << textOf(check);
    }
    EXPECT_NE(textOf(check).find("Free blocks count wrong"), std::string::npos) << textOf(check);
    EXPECT_EQ(check[check.size() - 2].second, "Errors remain\n") << textOf(check);
    EXPECT_EQ(image->checksum(), before) << "a check changed the volume";

    auto repair = firstAid(wrapper->shell().repairVolume(loopName()));
    ASSERT_GE(repair.size(), 3u) << "the repair did not end:\n" << textOf(repair);
    EXPECT_EQ(repair.front().first, start);
    EXPECT_EQ(repair.back().first, end) << textOf(repair);
    EXPECT_EQ(repair[repair.size() - 2].second, "Errors were repaired\n") << textOf(repair);

    auto again = firstAid(wrapper->shell().ntfsChecker(loopName(), false));
    ASSERT_GE(again.size(), 2u) << "the second check did not end";
    EXPECT_EQ(again[again.size() - 2].second, "No errors found\n") << textOf(again);
    EXPECT_EQ(textOf(again).find("Free blocks count wrong"), std::string::npos) << textOf(again);

    image->detach();
    std::string out = image->folder() + "/out";
    ASSERT_TRUE(CheckDiskImage::run("debugfs -R 'dump kept " + out + "' " + volume));
    EXPECT_EQ(CheckDiskImage::capture("sha256sum < " + CheckDiskImage::quoted(out)),
              CheckDiskImage::capture("sha256sum < " + CheckDiskImage::quoted(kept)));
}

TEST_F(FirstAidBusTest, AMountedVolumeIsNeverRepairedThroughTheBus) {
    ASSERT_TRUE(CheckDiskImage::run("mkfs.ext4 -q -F " + CheckDiskImage::quoted(image->image())));
    ASSERT_TRUE(image->attach());
    ASSERT_TRUE(image->mount());
    auto repair = firstAid(wrapper->shell().repairVolume(loopName()));
    ASSERT_FALSE(repair.empty()) << "the refused repair did not end";
    EXPECT_EQ(repair.back().first, stop) << textOf(repair);
    // The daemon's reason reaches the window, not only its log.
    EXPECT_EQ(repair.back().second.rfind("refused: ", 0), 0u) << textOf(repair);
    EXPECT_EQ(repair.size(), 1u) << "the run ends once:\n" << textOf(repair);

    // Nor is it checked: an offline checker on a live file system reports damage that is not there.
    auto check = firstAid(wrapper->shell().ntfsChecker(loopName(), false));
    ASSERT_FALSE(check.empty()) << "the check did not end";
    EXPECT_EQ(check.back().first, stop) << textOf(check);
    EXPECT_NE(check.back().second.find("is mounted at " + image->mountPoint()), std::string::npos) << textOf(check);
    image->unmount();
}

}  // namespace
}  // namespace harbormind
