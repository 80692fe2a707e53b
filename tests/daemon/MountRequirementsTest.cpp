#include <gtest/gtest.h>

#include "daemon/MountRequirements.h"

namespace harbormind {
namespace {

using A = DaemonAction;

MediumFacts stick() { return {"sdb", false, false, true, false}; }
MediumFacts usbDisk() { return {"sdc", false, false, false, false}; }
MediumFacts internalDisk() { return {"nvme0n1", false, false, false, true}; }
MediumFacts ownImage() { return {"loop3", true, true, false, false}; }
MediumFacts othersImage() { return {"loop4", true, false, false, false}; }

std::vector<A> actions(const MountRequirement& requirement) { return requirement.actions; }

TEST(MountRequirementsTest, EachMediumIsMountedWithItsOwnAction) {
    EXPECT_EQ(actions(MountRequirements::toMount(stick(), "sdb1")), std::vector<A>{A::mountRemovable});
    EXPECT_EQ(actions(MountRequirements::toMount(usbDisk(), "sdc1")), std::vector<A>{A::mountRemovable});
    EXPECT_EQ(actions(MountRequirements::toMount(internalDisk(), "nvme0n1p2")), std::vector<A>{A::mountSystem});
    EXPECT_EQ(actions(MountRequirements::toMount(ownImage(), "loop3p1")), std::vector<A>{A::mountRemovable});
    MountRequirement others = MountRequirements::toMount(othersImage(), "loop4");
    EXPECT_EQ(actions(others), std::vector<A>{A::loopOthers});
    EXPECT_EQ(others.refusal, "loop4 is a disk image you did not attach: using it needs an administrator");
}

// Anybody active may take removable media away, whoever mounted it (root included); another
// user's mounts on any other disk are an administrator's.
TEST(MountRequirementsTest, OthersMountsGoWithTheMediumOnlyWhereItIsRemovableOrTheCallersImage) {
    const std::string root = "/mnt/backup";
    EXPECT_TRUE(actions(MountRequirements::toUnmount(usbDisk(), "")).empty()) << "one's own mounts";
    EXPECT_EQ(actions(MountRequirements::toUnmount(stick(), root)), std::vector<A>{A::eject});
    EXPECT_EQ(actions(MountRequirements::toUnmount(ownImage(), root)), std::vector<A>{A::eject});
    EXPECT_EQ(actions(MountRequirements::toUnmount(othersImage(), root)), std::vector<A>{A::loopOthers});
    MountRequirement usb = MountRequirements::toUnmount(usbDisk(), root);
    EXPECT_EQ(actions(usb), std::vector<A>{A::unmountOthers});
    EXPECT_EQ(usb.refusal, "/mnt/backup was not mounted for you");
    EXPECT_EQ(actions(MountRequirements::toUnmount(internalDisk(), root)), std::vector<A>{A::unmountOthers});

    EXPECT_EQ(actions(MountRequirements::toEject(stick(), root, true, false)), std::vector<A>{A::eject});
    EXPECT_EQ(actions(MountRequirements::toEject(ownImage(), root, true, false)), std::vector<A>{A::eject});
    EXPECT_EQ(actions(MountRequirements::toEject(othersImage(), "", false, true)), std::vector<A>{A::loopOthers});
    // A disk that is not removable is the caller's to eject only when its mounts were theirs.
    EXPECT_EQ(actions(MountRequirements::toEject(usbDisk(), "", true, false)), std::vector<A>{A::eject});
    EXPECT_EQ(actions(MountRequirements::toEject(usbDisk(), "", false, true)), std::vector<A>{A::eject});
    EXPECT_EQ(actions(MountRequirements::toEject(usbDisk(), "", false, false)),
              (std::vector<A>{A::unmountOthers, A::eject}));
    EXPECT_EQ(actions(MountRequirements::toEject(usbDisk(), root, true, true)),
              (std::vector<A>{A::unmountOthers, A::eject}));
}

}  // namespace
}  // namespace harbormind
