#include <gtest/gtest.h>

#include "drivemodel/DMDriveObjectActivityIndicator.h"
#include "xpc/DMLocalDriveStatus.h"

namespace harbormind {
namespace {

TEST(DMLocalDriveStatusTest, ConvertsOnlyRawValuesSixteenToNineteen) {
    EXPECT_EQ(localDriveStatusFromRawValue(15), std::nullopt);
    EXPECT_EQ(localDriveStatusFromRawValue(16), DMLocalDriveStatus::locked);
    EXPECT_EQ(localDriveStatusFromRawValue(17), DMLocalDriveStatus::unlocked);
    EXPECT_EQ(localDriveStatusFromRawValue(18), DMLocalDriveStatus::invalid);
    EXPECT_EQ(localDriveStatusFromRawValue(19), DMLocalDriveStatus::encrypting);
    EXPECT_EQ(localDriveStatusFromRawValue(20), std::nullopt);
    EXPECT_EQ(localDriveStatusFromRawValue(-1), std::nullopt);
    EXPECT_EQ(localDriveStatusFromRawValue(16 + (std::int64_t{1} << 32)), std::nullopt);
    EXPECT_EQ(rawValue(DMLocalDriveStatus::encrypting), 19);
}

TEST(DMDriveObjectActivityIndicatorTest, OnlyProgressCarriesAPayload) {
    EXPECT_EQ(DMDriveObjectActivityIndicator::progress(0.25).value(), 0.25);
    EXPECT_EQ(DMDriveObjectActivityIndicator::none().value(), std::nullopt);
    EXPECT_EQ(DMDriveObjectActivityIndicator::infinite().value(), std::nullopt);
    EXPECT_EQ(DMDriveObjectActivityIndicator::progress(0.5), DMDriveObjectActivityIndicator::progress(0.5));
    EXPECT_FALSE(DMDriveObjectActivityIndicator::progress(0.5) == DMDriveObjectActivityIndicator::progress(0.6));
    EXPECT_FALSE(DMDriveObjectActivityIndicator::none() == DMDriveObjectActivityIndicator::infinite());
}

}  // namespace
}  // namespace harbormind
