#include <gtest/gtest.h>

#include "cli/CliCloneText.h"
#include "cli/CliEnglish.h"
#include "drivemodel/DMCloneTexts.h"

// The command line shows the window's corrected English for the texts the two share, and its
// own words as they are.
namespace harbormind {
namespace {

TEST(CliEnglishTest, SharedTextsReadAsTheWindowsEnglishCatalogueSays) {
    EXPECT_EQ(CliEnglish::of("Failed to disableUSB Warden."), "Failed to disable USB Warden.");
    EXPECT_EQ(CliEnglish::of("The password cannot contain some special characters such as '\\/ etc."),
              "The password cannot contain special characters such as ' \\ or /.")
        << "quotes and backslashes survive the way into the program";
    EXPECT_EQ(CliEnglish::of("Files don't exist, please refresh."), "The files no longer exist; refresh the list.");
    EXPECT_EQ(CliEnglish::of("Check completes\n"), "Check complete\n");
    EXPECT_EQ(CliEnglish::of("usb enable: no such disk"), "usb enable: no such disk");
    EXPECT_EQ(CliEnglish::of(""), "");

    EXPECT_EQ(CliCloneText::refusal(4, ""), "Not enough space on the destination device.");
    EXPECT_EQ(CliCloneText::refusal(3, "512 against 4096"),
              "The destination device's sector size differs from the source device's. (512 against 4096)");
    EXPECT_EQ(CliCloneText::refusal(9, "the daemon's own reason"), "the daemon's own reason");
}

}  // namespace
}  // namespace harbormind
