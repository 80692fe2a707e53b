#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "daemon/linux/LoopImageOwners.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

// Records in a folder of the test's own, against a sysfs of the test's own.
class LoopImageOwnersTest : public testing::Test {
protected:
    static fs::path base() { return fs::temp_directory_path() / ("hm-loop-owners-" + std::to_string(::getpid())); }
    void SetUp() override {
        fs::create_directories(root / "sys/block/loop3");
        setSequence(5);
    }
    void TearDown() override { fs::remove_all(root); }
    void setSequence(int sequence) { std::ofstream(root / "sys/block/loop3/diskseq") << sequence << "\n"; }

    fs::path root = base();
    LoopImageOwners owners{(base() / "state").string(), (base() / "sys").string()};
};

// A loop number that was detached and reused carries a new sequence number: the old record
// no longer names its owner.
TEST_F(LoopImageOwnersTest, ARecordCountsOnlyForTheMediumItWasMadeFor) {
    ASSERT_TRUE(owners.record("loop3", 5, 1000));
    EXPECT_EQ(owners.ownerOf("loop3"), 1000u);
    struct stat facts {};
    ASSERT_EQ(::stat((root / "state").c_str(), &facts), 0);
    EXPECT_EQ(facts.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((root / "state/loop3").c_str(), &facts), 0);
    EXPECT_EQ(facts.st_mode & 0777, 0600u);

    setSequence(6);
    EXPECT_EQ(owners.ownerOf("loop3"), std::nullopt);
    EXPECT_EQ(owners.ownerOf("loop4"), std::nullopt);
    owners.forget("loop3");
    setSequence(5);
    EXPECT_EQ(owners.ownerOf("loop3"), std::nullopt);
}

TEST_F(LoopImageOwnersTest, OnlyLoopDevicesAreRecordedAndALinkIsNoRecord) {
    EXPECT_FALSE(owners.record("../passwd", 5, 1000));
    EXPECT_FALSE(owners.record("sda", 5, 1000));
    EXPECT_EQ(owners.ownerOf("../loop3"), std::nullopt);
    ASSERT_TRUE(owners.record("loop3", 5, 1000));
    fs::rename(root / "state/loop3", root / "state/elsewhere");
    fs::create_symlink(root / "state/elsewhere", root / "state/loop3");
    EXPECT_EQ(owners.ownerOf("loop3"), std::nullopt);
}

}  // namespace
}  // namespace harbormind
