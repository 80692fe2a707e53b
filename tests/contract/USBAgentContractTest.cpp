// The USB blocker service's contract for the agent's start-up file: it goes in only once a
// password is set, stays while the Warden is on, and goes once the password turned it off.
#include "contract/DaemonContractTest.h"
#include "usbblocker/DMUSBBlockerWrapper.h"

namespace harbormind::test {
namespace {

TEST_P(DaemonContractTest, TheAgentFileGoesInOnlyWithAPasswordAndStaysWhileTheWardenIsOn) {
    DMUSBBlockerWrapper usb;
    const std::string password = "Warden-contract-7";
    EXPECT_FALSE(usb.addPlistFile()) << "the Warden was turned on without a password";
    ASSERT_EQ(usb.setPassword("", password).code, 0);
    EXPECT_TRUE(usb.addPlistFile());
    ASSERT_TRUE(usb.state());
    EXPECT_TRUE(usb.state()->on);
    EXPECT_FALSE(usb.removePlistFile()) << "the agent's file went while the Warden is on";
    EXPECT_EQ(usb.disable(password).code, 0);
    EXPECT_FALSE(usb.state().value_or(USBWardenState{}).on);
    EXPECT_TRUE(usb.removePlistFile());
}

}  // namespace
}  // namespace harbormind::test
