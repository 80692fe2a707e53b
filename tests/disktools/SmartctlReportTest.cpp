#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "disktools/SmartctlReport.h"

namespace harbormind {
namespace {

using A = DMDriveHealthAssessment;

DMDriveHealth reportOf(const std::string& name) {
    const char* root = std::getenv("HARBORMIND_SOURCE_DIR");
    std::ifstream file(std::string(root ? root : ".") + "/tests/fuzz/corpus/smartctl_json/" + name);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_FALSE(text.str().empty()) << name;
    return SmartctlReport::parse(text.str());
}

TEST(SmartctlReport, HealthyDrivesOfEachKindAreGoodWithTheirCounts) {
    auto ata = reportOf("ata-healthy.json");
    EXPECT_EQ(ata.assessment, A::good);
    EXPECT_EQ(ata.protocol, "ATA");
    EXPECT_EQ(ata.model, "Samsung SSD 870 EVO 1TB");
    EXPECT_EQ(ata.temperatureCelsius, 34);
    EXPECT_EQ(ata.powerOnHours, 12041);
    EXPECT_EQ(ata.reallocatedSectors, 0);
    EXPECT_EQ(ata.pendingSectors, 0);
    EXPECT_EQ(ata.attributes.size(), 6u);
    EXPECT_EQ(ata.attributes[5].raw, "58221846917");
    ASSERT_EQ(ata.selfTests.size(), 2u);
    EXPECT_EQ(ata.selfTests[0].kind, "Short offline");
    EXPECT_TRUE(ata.selfTests[0].passed);
    EXPECT_TRUE(ata.selfTestSupported);
    EXPECT_EQ(ata.extendedTestMinutes, 85);
    EXPECT_FALSE(ata.selfTestProgress);

    auto nvme = reportOf("nvme-healthy.json");
    EXPECT_EQ(nvme.assessment, A::good);
    EXPECT_EQ(nvme.percentageUsed, 2);
    EXPECT_EQ(nvme.mediaErrors, 0);
    EXPECT_EQ(nvme.availableSpare, 100);
    EXPECT_EQ(nvme.powerOnHours, 3117);
    EXPECT_FALSE(nvme.reallocatedSectors);
    EXPECT_FALSE(nvme.selfTestProgress);

    auto scsi = reportOf("scsi-healthy.json");
    EXPECT_EQ(scsi.assessment, A::good);
    EXPECT_EQ(scsi.model, "SEAGATE ST4000NM0023");
    EXPECT_EQ(scsi.reallocatedSectors, 0);
    ASSERT_EQ(scsi.selfTests.size(), 1u);
    EXPECT_TRUE(scsi.selfTests[0].passed);
}

TEST(SmartctlReport, FailingDrivesOfEachKindAreFailingWithWhatShowsIt) {
    auto ata = reportOf("ata-failing.json");
    EXPECT_EQ(ata.assessment, A::failing);
    EXPECT_EQ(ata.reallocatedSectors, 3968);
    EXPECT_EQ(ata.pendingSectors, 248);
    EXPECT_TRUE(ata.attributes[1].failingNow);
    // A temperature whose raw text carries more than the number keeps the current reading.
    EXPECT_EQ(ata.temperatureCelsius, 41);
    ASSERT_EQ(ata.selfTests.size(), 1u);
    EXPECT_FALSE(ata.selfTests[0].passed);

    auto nvme = reportOf("nvme-failing.json");
    EXPECT_EQ(nvme.assessment, A::failing);
    EXPECT_EQ(nvme.mediaErrors, 1574);
    EXPECT_EQ(nvme.percentageUsed, 108);
    EXPECT_EQ(nvme.selfTestProgress, 35);

    auto scsi = reportOf("scsi-failing.json");
    EXPECT_EQ(scsi.assessment, A::failing);
    EXPECT_EQ(scsi.reallocatedSectors, 1843);
}

TEST(SmartctlReport, AnAttributeBelowItsThresholdIsFailingEvenWhenTheOverallStatusPassed) {
    std::string text = R"({"smart_status": {"passed": true}, "ata_smart_attributes": {"table": [
        {"id": 5, "name": "Reallocated_Sector_Ct", "value": 9, "thresh": 10, "when_failed": "now", "raw": {"value": 900}}]}})";
    auto health = SmartctlReport::parse(text);
    EXPECT_EQ(health.assessment, A::failing);
    EXPECT_EQ(health.reallocatedSectors, 900);
}

TEST(SmartctlReport, ARunningSelfTestShowsHowFarItHasCome) {
    auto health = reportOf("ata-self-test-running.json");
    EXPECT_EQ(health.assessment, A::good);
    EXPECT_EQ(health.selfTestProgress, 40);
    EXPECT_EQ(health.reallocatedSectors, 2);
    EXPECT_EQ(health.pendingSectors, 1);
}

TEST(SmartctlReport, DrivesThatCannotReportAreNotAvailableWithSmartctlsReason) {
    auto bridge = reportOf("usb-bridge-unknown.json");
    EXPECT_EQ(bridge.assessment, A::notAvailable);
    EXPECT_EQ(bridge.reason, "/dev/sdf: Unknown USB bridge [0x152d:0x0578 (0x0209)]");

    auto virtualDisk = reportOf("virtual-disk-no-smart.json");
    EXPECT_EQ(virtualDisk.assessment, A::notAvailable);
    EXPECT_EQ(virtualDisk.reason, "SMART support is: Unavailable - device lacks SMART capability.");
}

TEST(SmartctlReport, BrokenReportsAreUnknownAndOddValuesAreLeftOut) {
    EXPECT_EQ(reportOf("truncated.json").assessment, A::unknown);
    EXPECT_EQ(reportOf("truncated.json").reason, "smartctl's report could not be read");
    EXPECT_EQ(reportOf("deep.json").assessment, A::unknown);
    EXPECT_EQ(SmartctlReport::parse(std::string(300, '[')).assessment, A::unknown);

    auto odd = reportOf("odd-types.json");
    EXPECT_EQ(odd.assessment, A::unknown);
    EXPECT_FALSE(odd.temperatureCelsius);
    // The attribute whose id is text is skipped; a negative count is not a count.
    ASSERT_EQ(odd.attributes.size(), 1u);
    EXPECT_FALSE(odd.reallocatedSectors);
}

}  // namespace
}  // namespace harbormind
