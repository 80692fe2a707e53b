#include "usbblocker/FileWatch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/linux/files/LinuxFileContents.h"
#include "platform/linux/files/LinuxFileEvents.h"
#include "platform/sim/SimFileContents.h"
#include "platform/sim/SimFileEvents.h"
#include "support/Dispatch.h"
#include "support/ShellQuote.h"
#include "testsupport/VirtualClockTest.h"
#include "testsupport/TemporaryFolder.h"
#include "usbblocker/USBDiskList.h"

namespace harbormind {
namespace {

using test::TemporaryFolder;
using Lists = std::vector<Drive>;

class CountingObserver final : public USBDiskListDelegate {
public:
    void diskListDidChange() override { ++changes; }
    int changes = 0;
};

// Runs the main queue until `done` holds. Kernel file events come from a thread the virtual
// clock does not know about, so virtual time may run ahead: keep turning the queue for a
// bounded real time.
bool runUntilReal(const std::function<bool()>& done, std::chrono::seconds realLimit = std::chrono::seconds(10)) {
    auto giveUp = std::chrono::steady_clock::now() + realLimit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        Dispatch::main().runUntil(done, seconds(0.5));
    }
    return true;
}

class FileWatchTest : public test::VirtualClockTest {};

TEST_F(FileWatchTest, CreationNeedsStringPathsAStreamAndAStart) {
    TemporaryFolder folder;
    LinuxFileEvents events;
    auto handler = [](const FileWatch::Event&) {};
    auto withoutStrings =
        FileWatch::create(&events, {folder.path()}, FileWatch::CreateFlag::fileEvents, Dispatch::mainQueue(), 1.0, handler);
    ASSERT_TRUE(std::holds_alternative<FileWatch::Error>(withoutStrings));
    EXPECT_EQ(std::get<FileWatch::Error>(withoutStrings), FileWatch::Error::notContainUseCFTypes);

    auto withoutService = FileWatch::create(nullptr, {folder.path()}, FileWatch::CreateFlag::useCFTypes,
                                            Dispatch::mainQueue(), 1.0, handler);
    EXPECT_EQ(std::get<FileWatch::Error>(withoutService), FileWatch::Error::streamCreateFailed);

    auto missingFolder = FileWatch::create(&events, {folder.file("nowhere")}, FileWatch::CreateFlag::useCFTypes,
                                           Dispatch::mainQueue(), 1.0, handler);
    EXPECT_EQ(std::get<FileWatch::Error>(missingFolder), FileWatch::Error::startFailed);

    auto working = FileWatch::create(&events, {folder.path()}, FileWatch::CreateFlag::useCFTypes,
                                     Dispatch::mainQueue(), 1.0, handler);
    EXPECT_TRUE(std::holds_alternative<std::unique_ptr<FileWatch>>(working));
}

TEST_F(FileWatchTest, ReportsFileEventsInTheTreeIncludingNewFolders) {
    TemporaryFolder folder;
    LinuxFileEvents events;
    std::vector<FileWatch::Event> seen;
    auto created = FileWatch::create(
        &events, {folder.path()}, FileWatch::CreateFlag::useCFTypes | FileWatch::CreateFlag::fileEvents,
        Dispatch::mainQueue(), 1.0, [&](const FileWatch::Event& event) { seen.push_back(event); });
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<FileWatch>>(created));

    std::filesystem::create_directory(folder.file("sub"));
    ASSERT_TRUE(runUntilReal([&] { return !seen.empty(); }));
    EXPECT_EQ(seen[0].path, folder.file("sub"));
    EXPECT_TRUE(contains(seen[0].flag, FileWatch::EventFlag::itemCreated | FileWatch::EventFlag::itemIsDir));

    seen.clear();
    TemporaryFolder::write(folder.file("sub/inner.txt"), "x");
    ASSERT_TRUE(runUntilReal([&] { return !seen.empty(); }));
    EXPECT_EQ(seen[0].path, folder.file("sub/inner.txt"));
    EXPECT_TRUE(contains(seen[0].flag, FileWatch::EventFlag::itemIsFile));
    EXPECT_TRUE(contains(seen[0].flag, FileWatch::EventFlag::itemCreated));
    EXPECT_GT(seen[0].eventID, 0u);
}

// Lists watched on the simulated machine, where time is exact.
class USBDiskListWatchTest : public test::VirtualClockTest {
protected:
    std::unique_ptr<USBDiskList> makeList() {
        USBDiskListServices services;
        services.files = &files;
        services.fileEvents = &events;
        services.watchQueue = Dispatch::mainQueue();
        services.savePath = "/private/var/kestrane/usbblocker.cnf";
        services.watchedFolder = "/private/var";
        return std::make_unique<USBDiskList>(services);
    }

    SimFileEvents events;
    SimFileContents files{&events};
};

TEST_F(USBDiskListWatchTest, AChangeToTheFileReloadsAndTellsObserversAboutASecondLater) {
    auto list = makeList();
    ASSERT_TRUE(list->isWatching());
    list->load();
    auto first = std::make_shared<CountingObserver>();
    auto second = std::make_shared<CountingObserver>();
    list->addDelegate(first);
    list->addDelegate(second);
    Dispatch::main().runUntil([] { return false; }, seconds(2));  // the file's creation
    first->changes = second->changes = 0;

    const double changedAt = now();
    files.setFile("/private/var/kestrane/usbblocker.cnf", "A:5__white\n");
    ASSERT_TRUE(Dispatch::main().runUntil([&] { return first->changes > 0; }, seconds(5)));
    EXPECT_DOUBLE_EQ(now() - changedAt, 1.0);
    EXPECT_EQ(second->changes, 1);
    EXPECT_EQ(list->whiteList(), (Lists{{"A", 5}}));
}

TEST_F(USBDiskListWatchTest, ChangesToOtherFilesUnderTheTreeDoNotReload) {
    auto list = makeList();
    list->load();
    auto observer = std::make_shared<CountingObserver>();
    list->addDelegate(observer);
    Dispatch::main().runUntil([] { return false; }, seconds(2));
    observer->changes = 0;

    files.setFile("/private/var/log/system.log", "noise");
    files.setFile("/private/var/kestrane/other.cnf", "A:5__white\n");
    Dispatch::main().runUntil([] { return false; }, seconds(5));
    EXPECT_EQ(observer->changes, 0);
}

TEST_F(USBDiskListWatchTest, OwnAdditionsShowAtOnceAndComeBackAsAReload) {
    auto list = makeList();
    list->load();
    auto observer = std::make_shared<CountingObserver>();
    list->addDelegate(observer);
    Dispatch::main().runUntil([] { return false; }, seconds(2));
    observer->changes = 0;
    list->addWhiteList("A", 5);
    EXPECT_TRUE(list->isInWhiteList("A"));
    Dispatch::main().runUntil([] { return false; }, seconds(2));
    EXPECT_EQ(observer->changes, 1);
    EXPECT_EQ(list->whiteList(), (Lists{{"A", 5}}));
}

TEST_F(FileWatchTest, AWatchThatCouldNotStartIsRetriedAtTheNextLoad) {
    TemporaryFolder folder;
    LinuxFileContents files;
    LinuxFileEvents events;
    USBDiskListServices services;
    services.files = &files;
    services.fileEvents = &events;
    services.watchQueue = Dispatch::mainQueue();
    services.watchedFolder = folder.file("kestrane");
    services.savePath = folder.file("kestrane/usbblocker.cnf");
    USBDiskList list(services);
    EXPECT_FALSE(list.isWatching());
    list.load();
    EXPECT_FALSE(list.isWatching());
    std::filesystem::create_directory(services.watchedFolder);
    list.load();
    EXPECT_TRUE(list.isWatching());
}

// Two processes share the lists: a child shell appends a line, and this process sees it
// through its watch of the real file.
TEST_F(FileWatchTest, AChangeByAnotherProcessReachesTheListsThroughTheWatch) {
    TemporaryFolder folder;
    LinuxFileContents files;
    LinuxFileEvents events;
    USBDiskListServices services;
    services.files = &files;
    services.fileEvents = &events;
    services.watchQueue = Dispatch::mainQueue();
    services.savePath = folder.file("usbblocker.cnf");
    services.watchedFolder = folder.path();
    USBDiskList list(services);
    ASSERT_TRUE(list.isWatching());
    list.load();
    auto observer = std::make_shared<CountingObserver>();
    list.addDelegate(observer);

    std::string command = "/bin/sh -c " + ShellQuote::quote("printf 'Stick:16__white\\nBad:1__black\\n' >> " +
                                                             ShellQuote::quote(services.savePath));
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(runUntilReal([&] { return list.isInWhiteList("Stick"); }));
    EXPECT_TRUE(list.isInBlackList("Bad", 0));
    EXPECT_GE(observer->changes, 1);

    // A rewrite by another process (temporary file renamed over) is seen too.
    std::string rewrite = "/bin/sh -c " + ShellQuote::quote("printf 'Other:2__white\\n' > " +
                                                            ShellQuote::quote(services.savePath + ".new") +
                                                            " && mv " + ShellQuote::quote(services.savePath + ".new") +
                                                            " " + ShellQuote::quote(services.savePath));
    ASSERT_EQ(std::system(rewrite.c_str()), 0);
    ASSERT_TRUE(runUntilReal([&] { return list.isInWhiteList("Other"); }));
    EXPECT_FALSE(list.isInWhiteList("Stick"));
}

}  // namespace
}  // namespace harbormind
