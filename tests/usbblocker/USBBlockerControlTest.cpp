#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "platform/CommandTable.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimScriptRunner.h"
#include "testsupport/TemporaryFolder.h"
#include "testsupport/VirtualClockTest.h"
#include "usbblocker/USBBlockerSettings.h"
#include "usbblocker/USBBlockerSwitch.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBPasswordRules.h"
#include "xpc/XPCTransport.h"

namespace harbormind {
namespace {

std::string repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

TEST(USBPasswordRulesTest, LengthCountsWhatTheUserSeesNotBytesOrCodePoints) {
    EXPECT_EQ(USBPasswordRules::characterCount(""), 0u);
    EXPECT_EQ(USBPasswordRules::characterCount("abc"), 3u);
    // "e" + combining acute accent: two code points, one character.
    EXPECT_EQ(USBPasswordRules::characterCount("e\xCC\x81"), 1u);
    // Family emoji joined by zero-width joiners: seven code points, one character.
    const std::string family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
    EXPECT_EQ(USBPasswordRules::characterCount(family), 1u);
    // A flag is two regional indicators.
    EXPECT_EQ(USBPasswordRules::characterCount("\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA"), 1u);

    EXPECT_FALSE(USBPasswordRules::isTooLong(repeat("e\xCC\x81", 48)));
    EXPECT_TRUE(USBPasswordRules::isTooLong(repeat("e\xCC\x81", 49)));
    EXPECT_FALSE(USBPasswordRules::isTooLong(repeat(family, 48)));
    EXPECT_TRUE(USBPasswordRules::isTooLong(repeat(family, 49)));
    EXPECT_TRUE(USBPasswordRules::isTooLong(repeat("a", 49)));
}

TEST(USBPasswordRulesTest, EachEntryChecksInItsOwnOrder) {
    using T = std::optional<std::string>;
    // First password: empty, then mismatch, then length.
    EXPECT_EQ(USBPasswordRules::firstPasswordError("", "x"), T(USBBlockerTexts::enterPassword));
    EXPECT_EQ(USBPasswordRules::firstPasswordError("a", "b"), T(USBBlockerTexts::passwordsDiffer));
    EXPECT_EQ(USBPasswordRules::firstPasswordError(repeat("a", 49), repeat("b", 49)),
              T(USBBlockerTexts::passwordsDiffer));
    EXPECT_EQ(USBPasswordRules::firstPasswordError(repeat("a", 49), repeat("a", 49)),
              T(USBBlockerTexts::exceedsMaximumLength));
    EXPECT_EQ(USBPasswordRules::firstPasswordError(repeat("a", 48), repeat("a", 48)), T());

    // Stopping: an empty field is never "Incorrect password." and is not even asked about.
    int asked = 0;
    USBPasswordRules::Check check = [&asked](const std::string& entered) -> T {
        ++asked;
        return entered == "pw" ? T() : T(USBBlockerTexts::incorrectPassword);
    };
    EXPECT_EQ(USBPasswordRules::stopError("", check), T(USBBlockerTexts::enterPassword));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(USBPasswordRules::stopError("other", check), T(USBBlockerTexts::incorrectPassword));
    EXPECT_EQ(USBPasswordRules::stopError("pw", check), T());

    // Entry: a password over the limit (settable on the change page) does not open it, unasked.
    std::string long49 = repeat("a", 49);
    asked = 0;
    EXPECT_EQ(USBPasswordRules::entryError(long49, check), T(USBBlockerTexts::incorrectPassword));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(USBPasswordRules::entryError("pw", check), T());

    // Change: the new password twice, no length limit (the daemon checks the old one).
    EXPECT_EQ(USBPasswordRules::changeError("", ""), T(USBBlockerTexts::incorrectPassword));
    EXPECT_EQ(USBPasswordRules::changeError("n", "m"), T(USBBlockerTexts::incorrectPassword));
    EXPECT_EQ(USBPasswordRules::changeError(long49, long49), T());
}

TEST(USBBlockerSettingsTest, TheDaemonsStateIsTheSwitchAndItsModeTheEngines) {
    EXPECT_EQ(USBBlockerSettings::modelForModeValue(2), AllowDiskMountModel::OnlyAllowWhitelistMount);
    for (auto value : {std::optional<std::int64_t>(1), std::optional<std::int64_t>(0), std::optional<std::int64_t>(7),
                       std::optional<std::int64_t>()}) {
        EXPECT_EQ(USBBlockerSettings::modelForModeValue(value), AllowDiskMountModel::PopupsQuery);
    }
    auto daemon = std::make_shared<InProcessDaemon>();
    XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
    USBBlockerSettings settings = USBBlockerSettings::current();
    EXPECT_EQ(settings.switchValue(), std::nullopt) << "never turned on, no password";
    daemon->usbWarden().set(false, 2, std::string("pw"));
    EXPECT_EQ(settings.switchValue(), false);
    EXPECT_EQ(settings.model(), AllowDiskMountModel::OnlyAllowWhitelistMount);
    daemon->usbWarden().set(true, 1, std::string("pw"));
    EXPECT_TRUE(settings.isOn());
    // A daemon that does not answer is no Warden that is on.
    daemon->setBehaviour(InProcessDaemonBehaviour::failConnection);
    EXPECT_FALSE(settings.isOn());
    XPCTransport::setCurrent(nullptr);
}

class USBBlockerSwitchTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        platform = SimPlatform::empty();
        Platform::setCurrent(platform);
        daemon = std::make_shared<InProcessDaemon>();
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
        daemon->usbWarden().set(false, 1, std::string("pw"));
        blockerSwitch = std::make_unique<USBBlockerSwitch>(std::make_shared<DMUSBBlockerWrapper>());
    }
    void TearDown() override {
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }
    void answer(const std::string& method, bool value) {
        PlatformValue::Dictionary service{{method, PlatformValue(value)}};
        daemon = std::make_shared<InProcessDaemon>(PlatformValue::Dictionary{{"usbBlocker", PlatformValue(service)}});
        daemon->usbWarden().set(false, 1, std::string("pw"));
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
    }

    std::shared_ptr<SimPlatform> platform;
    std::shared_ptr<InProcessDaemon> daemon;
    std::unique_ptr<USBBlockerSwitch> blockerSwitch;
};

TEST_F(USBBlockerSwitchTest, EnableLoadsTheAgentThreeTenthsOfASecondAfterTheDaemonAgreed) {
    answer("addPlistFileWithReply", true);
    std::optional<double> loadedAt;
    ASSERT_TRUE(blockerSwitch->enable([&](bool succeeded) {
        EXPECT_TRUE(succeeded);
        loadedAt = now();
    }));
    // The daemon's guard is on at once, before the load.
    EXPECT_TRUE(blockerSwitch->settings().isOn());
    EXPECT_TRUE(platform->scriptRuns().empty());
    Dispatch::main().runUntil([&] { return loadedAt.has_value(); }, seconds(2));
    EXPECT_DOUBLE_EQ(loadedAt.value_or(-1), 0.3);
    ASSERT_EQ(platform->scriptRuns().size(), 1u);
    EXPECT_EQ(platform->scriptRuns()[0].commandLine, platform->commands().loadUSBBlockerAgent());
}

TEST_F(USBBlockerSwitchTest, DaemonRefusalOrSilenceChangesNothing) {
    answer("addPlistFileWithReply", false);
    EXPECT_FALSE(blockerSwitch->enable(nullptr));
    EXPECT_FALSE(blockerSwitch->settings().isOn());
    // No password: the daemon does not turn it on.
    daemon->usbWarden().set(false, 1, std::nullopt);
    answer("addPlistFileWithReply", true);
    daemon->usbWarden().set(false, 1, std::nullopt);
    EXPECT_FALSE(blockerSwitch->enable(nullptr));

    daemon->usbWarden().set(true, 1, std::string("pw"));
    USBBlockerSwitch::StopResult wrong = blockerSwitch->disable("bad");
    EXPECT_FALSE(wrong.off);
    EXPECT_EQ(wrong.reason.rfind(USBBlockerTexts::incorrectPassword, 0), 0u) << wrong.reason;
    EXPECT_TRUE(blockerSwitch->settings().isOn());
    // The agent was stopped first and started again, so new disks are still asked about.
    ASSERT_EQ(platform->scriptRuns().size(), 2u);
    EXPECT_EQ(platform->scriptRuns()[1].commandLine, platform->commands().loadUSBBlockerAgent());

    daemon->setBehaviour(InProcessDaemonBehaviour::failConnection);
    USBBlockerSwitch::StopResult silent = blockerSwitch->disable("pw");
    EXPECT_FALSE(silent.off);
    EXPECT_EQ(silent.reason, USBBlockerTexts::daemonSilent);
}

}  // namespace
}  // namespace harbormind
