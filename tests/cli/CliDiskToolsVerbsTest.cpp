#include <gtest/gtest.h>

#include <cstdlib>

#include "CtlRun.h"
#include "testsupport/SourceTree.h"

namespace harbormind {
namespace {

std::vector<std::string> onScenario(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(),
                     {"--platform", "sim", "--scenario", test::SourceTree::scenario("disk-tools.json")});
    return arguments;
}

TEST(CliDiskToolsVerbs, HealthSpeaksOfTheWholeDiskWithAnExitStatusScriptsCanRead) {
    auto failing = test::runCtl(onScenario({"health", "disk6s1"}));
    EXPECT_EQ(failing.status, 2);
    EXPECT_EQ(failing.out.substr(0, failing.out.find('\n')),
              "Health: Failing (the drive's own assessment is that it is failing)");
    EXPECT_NE(failing.out.find("Reallocated sectors: 3968\n"), std::string::npos);

    auto image = test::runCtl(onScenario({"health", "disk8", "--json"}));
    EXPECT_EQ(image.status, 3);
    EXPECT_NE(image.out.find("\"health\": \"notAvailable\""), std::string::npos);
    EXPECT_NE(image.out.find("disk8 is a disk image"), std::string::npos);
}

TEST(CliDiskToolsVerbs, EraseAsksFirstAndRefusesANameTheFileSystemCannotHold) {
    auto unasked = test::runCtl(onScenario({"erase", "disk4", "--fs", "exfat", "--name", "Stick"}));
    EXPECT_EQ(unasked.status, 3);
    EXPECT_NE(unasked.err.find("Erase the disk “SanDisk Ultra Media” (disk4, 30.75 GB), with a new partition table, "
                               "as exFAT? It holds STICK (disk4s1, mounted at /Volumes/STICK)."),
              std::string::npos)
        << unasked.err;

    auto badName = test::runCtl(onScenario({"erase", "disk4", "--fs", "fat32", "--name", "Zoë", "--yes"}));
    EXPECT_EQ(badName.status, 1);
    EXPECT_NE(badName.err.find("A FAT32 name can only use English letters"), std::string::npos);

    auto unknown = test::runCtl(onScenario({"erase", "disk4", "--fs", "zfs", "--yes"}));
    EXPECT_EQ(unknown.status, 1);

    auto erased = test::runCtl(onScenario({"erase", "disk4", "--fs", "exfat", "--name", "Stick", "--yes"}));
    EXPECT_EQ(erased.status, 0) << erased.err;
    EXPECT_EQ(erased.out, "disk4s1\n");
}

TEST(CliDiskToolsVerbs, PartitionsAreListedAndCreatedInFreeSpace) {
    auto listed = test::runCtl(onScenario({"partition", "list", "disk5", "--json"}));
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("\"scheme\": \"gpt\""), std::string::npos);

    auto tooBig = test::runCtl(onScenario({"partition", "create", "disk5", "--size", "2T", "--yes"}));
    EXPECT_EQ(tooBig.status, 1);
    EXPECT_NE(tooBig.err.find("no free space of that size"), std::string::npos);

    auto made = test::runCtl(onScenario({"partition", "create", "disk5", "--size", "1G", "--fs", "ntfs", "--name",
                                         "Shared", "--yes"}));
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, "disk5s2\n");
}

}  // namespace
}  // namespace harbormind
