// The drive tree's loads on a machine where disks keep changing: reading a drive is slow (the
// daemon answers late under load) and changes elsewhere ask for a reload more often than a
// load can finish.
#include <gtest/gtest.h>

#include <QTreeWidget>
#include <algorithm>
#include <atomic>

#include "AppTestSupport.h"
#include "app/drives/DMDriveSnapshotLoader.h"
#include "app/shell/DMSidebarViewController.h"
#include "drivemodel/StubDriveObject.h"
#include "support/Dispatch.h"
#include "support/Timer.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

// A disk whose classification takes `readSeconds` on the clock, as a drive whose every
// question to a busy daemon is slow; it counts how often it was classified.
class SlowDrive final : public test::StubDriveObject {
public:
    SlowDrive(std::string identifier, double readSeconds)
        : StubDriveObject(std::move(identifier), DMDriveObjectCategory::local), readSeconds_(readSeconds) {}

    std::string name() const override { return "Disk " + identifier(); }
    std::string icon() const override { return "external"; }
    bool isActive() const override { return true; }
    void update() override {
        ++updates;
        Clock::current().sleepFor(seconds(readSeconds_));
    }

    std::atomic<int> updates{0};

private:
    double readSeconds_;
};

class SidebarLoadTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        sidebar = std::make_unique<DMSidebarViewController>(nullptr, [] { return nullptr; }, [] { return false; }, nullptr);
    }
    void TearDown() override {
        if (churn) {
            churn->invalidate();
        }
        Dispatch::main().runUntil([] { return DMDriveSnapshotLoader::pending() == 0; }, seconds(60));
        sidebar.reset();
        VirtualClockTest::TearDown();
    }

    // Another disk of the machine changes every `period` seconds: it is marked stale and the
    // tree asked to reload, as the window controller does for every drive event.
    void changeEvery(double period, const std::string& identifier) {
        churn = Timer::scheduled(Dispatch::mainQueue(), seconds(period), TimerRepeat::Repeating, [this, identifier] {
            sidebar->markStale(identifier);
            sidebar->reloadSoon();
        });
    }

    bool shows(const std::string& identifier) const {
        std::vector<std::string> rows = sidebar->displayedRows();
        return std::find(rows.begin(), rows.end(), identifier) != rows.end();
    }

    std::unique_ptr<DMSidebarViewController> sidebar;
    std::shared_ptr<Timer> churn;
};

TEST_F(SidebarLoadTest, ChangesFasterThanALoadStillLetTheTreeShowAndEachLoadWaitsForTheLast) {
    auto wanted = std::make_shared<SlowDrive>("loop24", 2.0);
    auto busy = std::make_shared<SlowDrive>("loop7", 2.0);
    for (const auto& drive : {wanted, busy}) {
        sidebar->addDrive("Local Drive", drive);
        sidebar->markStale(drive->identifier());
    }
    sidebar->reloadSoon();
    changeEvery(0.5, busy->identifier());
    const double started = now();
    // Both drives are classified in the first load (4 s on the clock); the changes meanwhile
    // ask for one more load, not one each.
    EXPECT_TRUE(Dispatch::main().runUntil([&] { return shows(wanted->identifier()); }, seconds(30)));
    EXPECT_LE(now() - started, 4.5);
    Dispatch::main().runUntil([] { return false; }, seconds(20));
    EXPECT_TRUE(shows(wanted->identifier()));
    EXPECT_LE(DMDriveSnapshotLoader::pending(), 1);
    // One classification of the quiet drive, and one of the busy drive per load (at most one
    // load every 2 s of its reading), instead of one per change.
    EXPECT_EQ(wanted->updates.load(), 1);
    EXPECT_LE(busy->updates.load(), 13);
}

}  // namespace
}  // namespace harbormind
