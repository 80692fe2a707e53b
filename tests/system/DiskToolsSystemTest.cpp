// The window's drive tools as installed: erasing a disk and a volume, deleting a partition and
// making a new one in the freed space, each judged by what sfdisk and blkid read afterwards;
// a refused user learns why and nothing is written; the health of a loop device is "Not
// available" with its reason, without an error dialog.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "system/support/KernelMounts.h"
#include "system/support/SystemTest.h"

namespace harbormind::test {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

nlohmann::json alertsOf(const WindowFlowOutcome& outcome) {
    return outcome.report.value("alerts", nlohmann::json::array());
}

class DiskToolsSystemTest : public SystemTest {
protected:
    // What blkid reads of a device now (TYPE, LABEL), probed afresh.
    std::map<std::string, std::string> probe(const std::string& device) {
        Outcome probed = runProgram({"blkid", "-p", "-o", "export", device});
        std::map<std::string, std::string> facts;
        std::istringstream lines(probed.out);
        for (std::string line; std::getline(lines, line);) {
            auto equals = line.find('=');
            if (equals == std::string::npos) {
                continue;
            }
            // blkid's export escapes spaces and quotes with a backslash.
            std::string value;
            for (std::size_t at = equals + 1; at < line.size(); ++at) {
                if (line[at] == '\\' && at + 1 < line.size()) {
                    ++at;
                }
                value += line[at];
            }
            facts[line.substr(0, equals)] = value;
        }
        return facts;
    }

    // The disk's partition table as sfdisk reads it; null when it has none.
    nlohmann::json table(const LoopVolume& loop) {
        Outcome listed = runProgram({"sfdisk", "--json", "/dev/" + loop.disk()});
        if (listed.status != 0) {
            return nullptr;
        }
        return nlohmann::json::parse(listed.out, nullptr, false).value("partitiontable", nlohmann::json());
    }

    static std::size_t partitionCount(const nlohmann::json& table) {
        return table.is_object() ? table.value("partitions", nlohmann::json::array()).size() : 0;
    }

    // The work ended and the window showed no alert beyond the confirmation it answered.
    static void expectDoneWithoutAWord(const WindowFlowOutcome& outcome, std::size_t confirmations) {
        ASSERT_TRUE(outcome.report.value("clicked", false)) << outcome.report.dump();
        EXPECT_TRUE(outcome.report.value("ended", true)) << outcome.report.dump();
        EXPECT_EQ(alertsOf(outcome).size(), confirmations) << outcome.report.dump();
    }
};

TEST_F(DiskToolsSystemTest, TheAdministratorErasesAMountedVolumeAndThenTheWholeDisk) {
    LoopVolume& loop = loopVolume({.fileSystem = "ext4", .label = "HMOLD", .partitioned = true});
    Outcome mounted = ctl(SystemRole::administrator, {"mount", loop.volume()});
    ASSERT_EQ(mounted.status, 0) << mounted.out << mounted.err;

    // The volume is unmounted first, as the confirmation says.
    WindowFlowOutcome volume = window(SystemRole::administrator, "erase", {loop.volume(), "exfat", "HM STICK"});
    expectDoneWithoutAWord(volume, 1);
    EXPECT_TRUE(KernelMounts::mountPointsOf(loop.volumePath()).empty());
    auto facts = probe(loop.volumePath());
    EXPECT_EQ(facts["TYPE"], "exfat") << daemonLog();
    EXPECT_EQ(facts["LABEL"], "HM STICK");
    EXPECT_EQ(partitionCount(table(loop)), 1u);

    loop.refreshUdevRecords();
    WindowFlowOutcome disk = window(SystemRole::administrator, "erase", {loop.disk(), "ext4", "HMFRESH"});
    expectDoneWithoutAWord(disk, 1);
    nlohmann::json fresh = table(loop);
    ASSERT_TRUE(fresh.is_object()) << daemonLog();
    EXPECT_EQ(fresh.value("label", ""), "gpt");
    ASSERT_EQ(partitionCount(fresh), 1u) << fresh.dump();
    facts = probe(fresh["partitions"][0].value("node", ""));
    EXPECT_EQ(facts["TYPE"], "ext4");
    EXPECT_EQ(facts["LABEL"], "HMFRESH");
}

TEST_F(DiskToolsSystemTest, APartitionIsDeletedAndANewOneMadeInTheFreedSpace) {
    LoopVolume& loop = loopVolume({.fileSystem = "ext4", .label = "HMPARTS", .partitioned = true});
    WindowFlowOutcome deleted = window(SystemRole::administrator, "click", {loop.volume(), "Delete...", "1"});
    expectDoneWithoutAWord(deleted, 1);
    EXPECT_TRUE(contains(alertsOf(deleted).dump(), "Delete the partition")) << deleted.report.dump();
    EXPECT_EQ(partitionCount(table(loop)), 0u) << daemonLog();

    WindowFlowOutcome made = window(SystemRole::administrator, "new-partition", {loop.disk(), "60", "ext4", "HMNEW"});
    expectDoneWithoutAWord(made, 0);
    EXPECT_EQ(made.report.value("regions", 0), 1) << made.report.dump();
    nlohmann::json now = table(loop);
    ASSERT_EQ(partitionCount(now), 1u) << daemonLog();
    const nlohmann::json& partition = now["partitions"][0];
    const std::int64_t bytes = partition.value("size", std::int64_t{0}) * now.value("sectorsize", std::int64_t{512});
    EXPECT_NEAR(static_cast<double>(bytes), 60.0 * 1000 * 1000, 2.0 * 1024 * 1024) << now.dump();
    auto facts = probe(partition.value("node", ""));
    EXPECT_EQ(facts["TYPE"], "ext4");
    EXPECT_EQ(facts["LABEL"], "HMNEW");
}

TEST_F(DiskToolsSystemTest, AUserWhoMayNotEraseTheImageLearnsWhyAndNothingIsWritten) {
    LoopVolume& loop = loopVolume({.fileSystem = "ext4", .label = "HMKEEP", .partitioned = true});
    WindowFlowOutcome refused = window(SystemRole::desktop, "erase", {loop.volume(), "exfat", "HMGONE"});
    ASSERT_TRUE(refused.report.value("clicked", false)) << refused.report.dump();
    const nlohmann::json alerts = alertsOf(refused);
    ASSERT_EQ(alerts.size(), 2u) << refused.report.dump();
    EXPECT_EQ(alerts[1].value("title", ""), "The drive could not be erased") << refused.report.dump();
    EXPECT_TRUE(contains(alerts[1].dump(), "needs an administrator")) << refused.report.dump();
    auto facts = probe(loop.volumePath());
    EXPECT_EQ(facts["TYPE"], "ext4");
    EXPECT_EQ(facts["LABEL"], "HMKEEP");
}

TEST_F(DiskToolsSystemTest, ALoopDevicesHealthIsNotAvailableWithItsReasonAndNoErrorDialog) {
    LoopVolume& loop = loopVolume({.fileSystem = "ext4", .label = "HMHEALTH", .partitioned = true});
    WindowFlowOutcome shown = window(SystemRole::desktop, "health", {loop.disk()});
    ASSERT_TRUE(shown.report.value("read", false)) << shown.report.dump();
    EXPECT_EQ(shown.report.value("assessment", ""), "Not available") << shown.report.dump();
    EXPECT_FALSE(shown.report.value("reason", "").empty()) << shown.report.dump();
    EXPECT_FALSE(contains(shown.report.value("reason", ""), "error code")) << shown.report.dump();
    EXPECT_FALSE(shown.report.value("selfTestsOffered", true)) << shown.report.dump();
    EXPECT_TRUE(alertsOf(shown).empty()) << shown.report.dump();
}

}  // namespace
}  // namespace harbormind::test
