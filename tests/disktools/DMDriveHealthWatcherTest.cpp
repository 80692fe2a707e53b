#include <gtest/gtest.h>

#include <map>
#include <mutex>

#include "disktools/DMDriveHealthWatcher.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using A = DMDriveHealthAssessment;

DMDriveHealth reading(A assessment, std::optional<std::int64_t> reallocated = 0, std::optional<std::int64_t> pending = 0) {
    DMDriveHealth health;
    health.assessment = assessment;
    health.reallocatedSectors = reallocated;
    health.pendingSectors = pending;
    return health;
}

class DriveHealthWatcherTest : public test::VirtualClockTest {
protected:
    std::shared_ptr<DMDriveHealthWatcher> make() {
        return std::make_shared<DMDriveHealthWatcher>(
            [] { return std::vector<DMDriveHealthWatcher::Disk>{{"sda", "Samsung SSD"}, {"sdb", "USB Disk"}}; },
            [this](const std::string& disk) {
                std::lock_guard lock(mutex);
                ++reads[disk];
                return healthOf[disk];
            },
            [this](const std::string& title, const std::string& text) {
                std::lock_guard lock(mutex);
                warnings.push_back(title + ": " + text);
            });
    }
    void set(const std::string& disk, DMDriveHealth health) {
        std::lock_guard lock(mutex);
        healthOf[disk] = std::move(health);
    }
    std::vector<std::string> taken() {
        std::lock_guard lock(mutex);
        return std::exchange(warnings, {});
    }
    // Lets the watcher's queue run its round due at `at` seconds.
    void runUntil(double at) { clock->sleepFor(seconds(at) - clock->now()); }

    std::mutex mutex;
    std::map<std::string, DMDriveHealth> healthOf;
    std::map<std::string, int> reads;
    std::vector<std::string> warnings;
};

TEST_F(DriveHealthWatcherTest, ChecksEveryDiskAtStartAndThenHourlyOnTheClock) {
    set("sda", reading(A::good));
    set("sdb", reading(A::good));
    auto watcher = make();
    watcher->start();
    runUntil(1);
    EXPECT_EQ(reads["sda"], 1);
    runUntil(3599);
    EXPECT_EQ(reads["sdb"], 1);
    runUntil(3601);
    EXPECT_EQ(reads["sda"], 2);
    runUntil(3 * 3600 + 1);
    EXPECT_EQ(reads["sdb"], 4);
    watcher->stop();
    runUntil(10 * 3600);
    EXPECT_EQ(reads["sda"], 4);
    EXPECT_TRUE(taken().empty());
}

TEST_F(DriveHealthWatcherTest, WarnsOncePerChangeNeverRepeatedly) {
    set("sda", reading(A::good, 0, 0));
    set("sdb", reading(A::good, 8, 0));
    auto watcher = make();
    watcher->checkAll();
    // Counts a disk already had when first seen are its baseline.
    EXPECT_TRUE(taken().empty());

    set("sda", reading(A::failing, 0, 0));
    watcher->checkAll();
    watcher->checkAll();
    EXPECT_EQ(taken(), std::vector<std::string>{
                           "A disk is failing: Samsung SSD reports that it is failing. Back up its data now."});

    set("sdb", reading(A::good, 12, 3));
    watcher->checkAll();
    EXPECT_EQ(taken(), (std::vector<std::string>{
                           "A disk is wearing out: USB Disk has reallocated more sectors (12 now). Back up its data.",
                           "A disk is wearing out: USB Disk has more sectors waiting to be reallocated (3 now). Back "
                           "up its data."}));
    watcher->checkAll();
    EXPECT_TRUE(taken().empty());

    // A reading that says nothing (the disk or the daemon did not answer) forgets nothing.
    set("sda", reading(A::unknown, std::nullopt, std::nullopt));
    set("sdb", DMDriveHealth::unavailable("no answer"));
    watcher->checkAll();
    set("sda", reading(A::failing, 0, 0));
    set("sdb", reading(A::good, 12, 3));
    watcher->checkAll();
    EXPECT_TRUE(taken().empty());

    // Recovering and failing again is a new change.
    set("sda", reading(A::good, 0, 0));
    watcher->checkAll();
    set("sda", reading(A::failing, 0, 0));
    watcher->checkAll();
    EXPECT_EQ(taken().size(), 1u);
}

TEST_F(DriveHealthWatcherTest, ADiskFailingWhenFirstSeenWarnsOnce) {
    set("sda", reading(A::failing, 3968, 248));
    set("sdb", DMDriveHealth::unavailable("a disk image"));
    auto watcher = make();
    watcher->start();
    runUntil(2 * 3600 + 1);
    EXPECT_EQ(reads["sda"], 3);
    EXPECT_EQ(taken().size(), 1u);
    watcher->stop();
}

}  // namespace
}  // namespace harbormind
