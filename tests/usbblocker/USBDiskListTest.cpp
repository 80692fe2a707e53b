#include "usbblocker/USBDiskList.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <filesystem>
#include <fstream>

#include "platform/linux/files/LinuxFileContents.h"
#include "platform/sim/SimFileContents.h"
#include "testsupport/TemporaryFolder.h"
#include "usbblocker/USBListsEditor.h"

namespace harbormind {
namespace {

using test::TemporaryFolder;
using Lists = std::vector<Drive>;

// Lists over real files in a folder of their own, unwatched.
class USBDiskListFileTest : public testing::Test {
protected:
    std::unique_ptr<USBDiskList> makeList(const std::string& listsFile) {
        USBDiskListServices services;
        services.files = &files;
        services.savePath = listsFile;
        services.watchedFolder = folder.path();
        return std::make_unique<USBDiskList>(services);
    }

    TemporaryFolder folder;
    LinuxFileContents files;
    std::string path = folder.file("usbblocker.cnf");
};

TEST_F(USBDiskListFileTest, LoadCreatesAMissingFileEmpty) {
    auto list = makeList(path);
    list->load();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(TemporaryFolder::read(path), "");
    EXPECT_TRUE(list->whiteList().empty());
    EXPECT_TRUE(list->blackList().empty());
}

TEST_F(USBDiskListFileTest, WithoutItsFolderTheListsLiveInMemoryOnly) {
    std::string lost = folder.file("missing/usbblocker.cnf");
    auto list = makeList(lost);
    list->load();
    list->addWhiteList("A", 5);
    EXPECT_EQ(list->whiteList(), (Lists{{"A", 5}}));
    EXPECT_FALSE(std::filesystem::exists(lost));
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));
}

TEST_F(USBDiskListFileTest, AdditionsAppendOneWholeLineOncePerName) {
    auto list = makeList(path);
    list->load();
    list->addWhiteList("A", 5);
    list->addWhiteList("A", 5);
    list->addWhiteList("A", 9);
    list->addBlackList("B", -2);
    list->addBlackList("A", 5);  // on the white list already
    list->addWhiteList("B", 3);  // on the black list already
    EXPECT_EQ(TemporaryFolder::read(path), "A:5__white\nB:-2__black\n");
    EXPECT_EQ(list->whiteList(), (Lists{{"A", 5}}));
    EXPECT_EQ(list->blackList(), (Lists{{"B", -2}}));
}

TEST_F(USBDiskListFileTest, AdditionsNeverRewriteTheFile) {
    TemporaryFolder::write(path, "junk without end");
    auto list = makeList(path);
    list->load();
    list->addWhiteList("A", 5);
    EXPECT_EQ(TemporaryFolder::read(path), "junk without end\nA:5__white\n");
}

TEST_F(USBDiskListFileTest, NamesThatWouldReadBackAsSomethingElseAreNotAdded) {
    auto list = makeList(path);
    list->load();
    // Black-listing this name would otherwise write a line that reads back as a white entry.
    list->addBlackList("Evil__white", 1);
    list->addBlackList("x\nTrusted:1__white", 1);
    list->addWhiteList("a:b", 1);
    list->addWhiteList("bad\xff", 1);
    EXPECT_EQ(TemporaryFolder::read(path), "");
    EXPECT_TRUE(list->whiteList().empty());
    EXPECT_TRUE(list->blackList().empty());
    list->load();
    EXPECT_TRUE(list->whiteList().empty());
}

TEST_F(USBDiskListFileTest, RemovalWithAnotherSizeLeavesTheLineSoTheEntryReturns) {
    TemporaryFolder::write(path, "A:5__white\n");
    auto list = makeList(path);
    list->load();
    list->removeWhiteList("A", 6);
    EXPECT_TRUE(list->whiteList().empty());
    EXPECT_EQ(TemporaryFolder::read(path), "A:5__white\n");
    list->load();
    EXPECT_EQ(list->whiteList(), (Lists{{"A", 5}}));
}

TEST_F(USBDiskListFileTest, RemovalRewritesTheFileWithoutEveryCopyOfTheLine) {
    TemporaryFolder::write(path, "A:5__white\nB:1__black\nA:5__white\nA:5__black\nA:7__white\n");
    chmod(path.c_str(), 0640);
    struct stat before {};
    stat(path.c_str(), &before);
    auto list = makeList(path);
    list->load();
    list->removeWhiteList("A", 5);
    EXPECT_EQ(TemporaryFolder::read(path), "B:1__black\nA:5__black\nA:7__white\n");
    EXPECT_TRUE(list->whiteList().empty());  // every white A goes from memory, whatever its size
    EXPECT_EQ(list->blackList(), (Lists{{"B", 1}, {"A", 5}}));
    struct stat after {};
    stat(path.c_str(), &after);
    EXPECT_NE(before.st_ino, after.st_ino) << "a removal replaces the file whole";
    EXPECT_EQ(after.st_mode & 0777, 0640u);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

// Regression: removing A's line used to cut the same text out of a longer line, merging BA's
// entry into the next line.
TEST_F(USBDiskListFileTest, RemovalLeavesLongerLinesEndingInTheSameText) {
    TemporaryFolder::write(path, "BA:5__white\nC:1__white\nA:5__white\n");
    auto list = makeList(path);
    list->load();
    list->removeWhiteList("A", 5);
    EXPECT_EQ(TemporaryFolder::read(path), "BA:5__white\nC:1__white\n");
    list->load();
    EXPECT_EQ(list->whiteList(), (Lists{{"BA", 5}, {"C", 1}}));
}

TEST_F(USBDiskListFileTest, RemovalLeavesAFileThatIsNotTextAlone) {
    const std::string bytes = "A:5__black\n\xff\n";
    TemporaryFolder::write(path, bytes);
    auto list = makeList(path);
    list->load();
    EXPECT_EQ(list->blackList(), (Lists{{"A", 5}}));
    list->removeBlackList("A", 5);
    EXPECT_TRUE(list->blackList().empty());
    EXPECT_EQ(TemporaryFolder::read(path), bytes);
}

TEST_F(USBDiskListFileTest, LookupsGoByNameOnly) {
    TemporaryFolder::write(path, "W:5__white\nK:5__black\n");
    auto list = makeList(path);
    list->load();
    EXPECT_TRUE(list->isInWhiteList("W"));
    EXPECT_FALSE(list->isInWhiteList("w"));
    EXPECT_FALSE(list->isInWhiteList("K"));
    EXPECT_TRUE(list->isInBlackList("K", 1));
    EXPECT_TRUE(list->isInBlackList("K", 999));
    EXPECT_FALSE(list->isInBlackList("W", 5));
}

TEST_F(USBDiskListFileTest, AnUnreadableFileGivesEmptyLists) {
    std::filesystem::create_directory(path);  // a folder where the file should be
    auto list = makeList(path);
    list->load();
    EXPECT_TRUE(list->whiteList().empty());
    list->addWhiteList("A", 1);
    EXPECT_EQ(list->whiteList(), (Lists{{"A", 1}}));
}

// A file of a few hundred megabytes is no lists file: it is refused without being read.
TEST_F(USBDiskListFileTest, AHugeFileIsIgnoredWithoutBeingRead) {
    {
        std::ofstream out(path, std::ios::binary);
        std::string chunk;
        while (chunk.size() < (4u << 20)) {
            chunk += "Disk:1__white\n";
        }
        for (std::size_t written = 0; written < (300u << 20); written += chunk.size()) {
            out << chunk;
        }
    }
    auto list = makeList(path);
    list->load();  // a hang here is caught by the suite's time limit
    EXPECT_TRUE(list->whiteList().empty());
    list->removeWhiteList("Disk", 1);  // cannot be edited either: left alone
    EXPECT_GE(std::filesystem::file_size(path), 300u << 20);
    std::filesystem::remove(path);
}

TEST_F(USBDiskListFileTest, AFileJustWithinTheLimitIsRead) {
    std::string text;
    const std::string line = "SomeDiskName:123__black\n";
    while (text.size() + line.size() <= USBDiskList::maximumFileSize) {
        text += line;
    }
    TemporaryFolder::write(path, text);
    auto list = makeList(path);
    list->load();
    EXPECT_EQ(list->blackList().size(), text.size() / line.size());
    TemporaryFolder::write(path, text + line);
    list->load();
    // Not read whole: the blocked stay blocked.
    EXPECT_FALSE(list->isReadWhole());
    EXPECT_EQ(list->blackList().size(), text.size() / line.size());
}

// An entry appended after a last line without its line feed must not join it: the blocked
// "Evil Stick" would read back as an allowed disk.
TEST_F(USBDiskListFileTest, AnAppendEndsAnUnterminatedLastLineFirst) {
    TemporaryFolder::write(path, "Evil Stick:5__black");
    auto list = makeList(path);
    list->load();
    list->addWhiteList("Good Stick", 5);
    EXPECT_EQ(TemporaryFolder::read(path), "Evil Stick:5__black\nGood Stick:5__white\n");
    list->load();
    EXPECT_EQ(list->blackList(), (Lists{{"Evil Stick", 5}}));
    EXPECT_EQ(list->whiteList(), (Lists{{"Good Stick", 5}}));
}

TEST_F(USBDiskListFileTest, ALineThatIsNotTextCostsOnlyItself) {
    TemporaryFolder::write(path, "Evil:1__black\nBad\xff:1__white\nGood:2__white\n");
    auto list = makeList(path);
    list->load();
    EXPECT_TRUE(list->isReadWhole());
    EXPECT_EQ(list->blackList(), (Lists{{"Evil", 1}}));
    EXPECT_EQ(list->whiteList(), (Lists{{"Good", 2}}));
}

// A link in place of the lists file is neither read nor written through; what was blocked
// stays blocked and nothing counts as allowed.
TEST_F(USBDiskListFileTest, ALinkInPlaceOfTheFileIsRefusedAndTheListsFailClosed) {
    TemporaryFolder::write(path, "Evil:1__black\nGood:2__white\n");
    auto list = makeList(path);
    list->load();
    std::string elsewhere = folder.file("elsewhere.txt");
    TemporaryFolder::write(elsewhere, "Other:1__white\n");
    std::filesystem::remove(path);
    std::filesystem::create_symlink(elsewhere, path);
    list->load();
    EXPECT_FALSE(list->isReadWhole());
    EXPECT_TRUE(list->whiteList().empty());
    EXPECT_EQ(list->blackList(), (Lists{{"Evil", 1}}));
    list->addBlackList("New", 3);
    EXPECT_EQ(TemporaryFolder::read(elsewhere), "Other:1__white\n");
    EXPECT_TRUE(list->isInBlackList("New", 3));
}

TEST(USBDiskListSimTest, SimulatedFilesBehaveLikeRealOnes) {
    SimFileContents files;
    USBDiskListServices services;
    services.files = &files;
    services.savePath = "/private/var/kestrane/usbblocker.cnf";
    USBDiskList list(services);
    list.load();
    list.addWhiteList("A", 5);
    list.addBlackList("B", 7);
    EXPECT_EQ(files.read(services.savePath, 1000).bytes, "A:5__white\nB:7__black\n");
    list.removeBlackList("B", 7);
    EXPECT_EQ(files.read(services.savePath, 1000).bytes, "A:5__white\n");
}

}  // namespace
}  // namespace harbormind

namespace harbormind {
namespace {

class USBListsEditorTest : public USBDiskListFileTest {};

TEST_F(USBListsEditorTest, ChangesSayWhatHappened) {
    auto list = makeList(path);
    USBListsEditor editor(*list);
    EXPECT_EQ(editor.allow("Stick", 16), USBListsEditResult::Done);
    EXPECT_EQ(editor.allow("Stick", 16), USBListsEditResult::AlreadyListed);
    EXPECT_EQ(editor.block("Stick", 16), USBListsEditResult::OnOtherList);
    EXPECT_EQ(editor.block("a:b", 1), USBListsEditResult::CannotStore);
    EXPECT_EQ(editor.remove("Nothing"), USBListsEditResult::NotListed);
    EXPECT_EQ(TemporaryFolder::read(path), "Stick:16__white\n");
}

TEST_F(USBListsEditorTest, RemovalTakesEveryStoredSizeOffBothLists) {
    TemporaryFolder::write(path, "A:5__white\nA:7__white\nB:1__black\nA:2__black\n");
    auto list = makeList(path);
    USBListsEditor editor(*list);
    EXPECT_EQ(editor.remove("A"), USBListsEditResult::Done);
    EXPECT_EQ(TemporaryFolder::read(path), "B:1__black\n");
}

// An administrator's lists files count after the local file: their white entries allow, their
// entries cannot be removed here, and one that cannot be read allows nothing at all.
TEST_F(USBListsEditorTest, TheAdministratorsListsAreMergedAndStay) {
    TemporaryFolder::write(path, "Local:1__white\n");
    TemporaryFolder::write(folder.file("fleet.cnf"), "Fleet:2__white\nBanned:3__black\n");
    USBDiskListServices services;
    services.files = &files;
    services.savePath = path;
    std::vector<std::string> dropIns{folder.file("fleet.cnf")};
    services.dropInFiles = [&dropIns] { return dropIns; };
    USBDiskList list(services);
    list.load();
    EXPECT_EQ(list.whiteList(), (Lists{{"Local", 1}, {"Fleet", 2}}));
    EXPECT_EQ(list.blackList(), (Lists{{"Banned", 3}}));
    EXPECT_TRUE(list.isSetByAdministrator("Fleet"));
    EXPECT_FALSE(list.isSetByAdministrator("Local"));
    USBListsEditor editor(list);
    EXPECT_EQ(editor.allow("Banned", 3), USBListsEditResult::OnOtherList);
    EXPECT_EQ(editor.removeFrom("Fleet", USBListKind::White), USBListsEditResult::SetByAdministrator);
    EXPECT_EQ(editor.removeFrom("Local", USBListKind::White), USBListsEditResult::Done);
    EXPECT_EQ(TemporaryFolder::read(folder.file("fleet.cnf")), "Fleet:2__white\nBanned:3__black\n");

    dropIns.push_back(folder.file("gone-but-listed"));
    std::filesystem::create_directory(folder.file("gone-but-listed"));
    list.load();
    EXPECT_FALSE(list.isReadWhole());
    EXPECT_TRUE(list.whiteList().empty());
    EXPECT_TRUE(list.isInBlackList("Banned", 0));
}

TEST_F(USBListsEditorTest, AnUnwritableFileIsReported) {
    auto list = makeList(folder.file("missing/usbblocker.cnf"));
    USBListsEditor editor(*list);
    EXPECT_EQ(editor.allow("Stick", 16), USBListsEditResult::NotSaved);
}

}  // namespace
}  // namespace harbormind

namespace harbormind {
namespace {

// Regression: the engine's callbacks read the lists on background threads while the watch
// re-reads them; lookups must never see a list half read or freed.
TEST(USBDiskListConcurrencyTest, LookupsDuringReloadsSeeOldOrNewLists) {
    SimFileContents files;
    USBDiskListServices services;
    services.files = &files;
    services.savePath = "/private/var/kestrane/usbblocker.cnf";
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "Disk" + std::to_string(i) + ":1__white\n";
    }
    files.setFile(services.savePath, text);
    USBDiskList list(services);
    list.load();
    std::atomic<bool> stop{false};
    std::atomic<int> misses{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                if (!list.isInWhiteList("Disk199")) {
                    ++misses;
                }
                list.isInBlackList("Disk1", 0);
            }
        });
    }
    for (int round = 0; round < 200; ++round) {
        list.load();
        list.addBlackList("Other" + std::to_string(round), 1);
    }
    stop.store(true);
    for (auto& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(misses.load(), 0);
}

}  // namespace
}  // namespace harbormind
