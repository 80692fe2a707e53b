#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "TempFolder.h"
#include "network/Keychains.h"
#include "platform/CommandTable.h"
#include "platform/linux/settings/LinuxKeychainFiles.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimScriptRunner.h"
#include "platform/sim/SimSettingsStore.h"
#include "testsupport/VirtualClockTest.h"
#include "usbblocker/USBBlockerKeyChain.h"
#include "usbblocker/USBBlockerSettings.h"
#include "usbblocker/USBBlockerSwitch.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBPasswordRules.h"
#include "xpc/InProcessDaemon.h"
#include "xpc/InProcessXPCTransport.h"
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

    // Stopping: an empty field is never "Incorrect password.".
    EXPECT_EQ(USBPasswordRules::stopError("", std::nullopt), T(USBBlockerTexts::enterPassword));
    EXPECT_EQ(USBPasswordRules::stopError("pw", std::nullopt), T(USBBlockerTexts::incorrectPassword));
    EXPECT_EQ(USBPasswordRules::stopError("pw", T("other")), T(USBBlockerTexts::incorrectPassword));
    EXPECT_EQ(USBPasswordRules::stopError("pw", T("pw")), T());

    // Entry: a stored password over the limit (set on the change page) does not open it.
    std::string long49 = repeat("a", 49);
    EXPECT_EQ(USBPasswordRules::entryError(long49, T(long49)), T(USBBlockerTexts::incorrectPassword));
    EXPECT_EQ(USBPasswordRules::entryError("pw", T("pw")), T());

    // Change: the old password first, no length limit.
    EXPECT_EQ(USBPasswordRules::changeError("pw", "n", "n", std::nullopt), T(USBBlockerTexts::incorrectPassword));
    EXPECT_EQ(USBPasswordRules::changeError("bad", "n", "n", T("pw")), T(USBBlockerTexts::incorrectPassword));
    EXPECT_EQ(USBPasswordRules::changeError("pw", "n", "m", T("pw")), T(USBBlockerTexts::incorrectPassword));
    EXPECT_EQ(USBPasswordRules::changeError("pw", long49, long49, T("pw")), T());
}

class USBBlockerKeyChainTest : public testing::Test {
protected:
    std::unique_ptr<LinuxKeychainFiles> newProcess() {
        return std::make_unique<LinuxKeychainFiles>(folder.file("login.keychain"), KeychainKdfLimits::minimal());
    }
    std::string path() const { return folder.file(USBBlockerKeyChain::fileName); }

    test::TempFolder folder;
};

TEST_F(USBBlockerKeyChainTest, PasswordIsKeptPrivateUnderItsPrefixedKey) {
    auto files = newProcess();
    USBBlockerKeyChain keyChain(files.get(), path());
    EXPECT_EQ(keyChain.password(), std::nullopt);
    ASSERT_TRUE(keyChain.setPassword("s3cret-w\xC3\xA4rden"));

    auto other = newProcess();
    EXPECT_EQ(USBBlockerKeyChain(other.get(), path()).password(), "s3cret-w\xC3\xA4rden");
    Keychains raw(std::nullopt, keyChain.keychainType(), other.get());
    EXPECT_EQ(raw.allKeys(), (std::vector<std::string>{"DM-usbBlocker"}));

    struct stat info {};
    ASSERT_EQ(::stat(path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::ifstream in(path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.find("s3cret"), std::string::npos);
    EXPECT_EQ(bytes.find("usbBlocker"), std::string::npos);
}

TEST_F(USBBlockerKeyChainTest, DamagedOrForeignFileReadsAsNoPasswordAndIsLeftAlone) {
    {
        std::ofstream out(path(), std::ios::binary);
        out << "not a keychain at all";
    }
    auto files = newProcess();
    USBBlockerKeyChain keyChain(files.get(), path());
    EXPECT_EQ(keyChain.password(), std::nullopt);
    EXPECT_EQ(USBPasswordRules::stopError("anything", keyChain.password()),
              std::optional<std::string>(USBBlockerTexts::incorrectPassword));
    EXPECT_FALSE(keyChain.setPassword("new"));
    EXPECT_EQ(test::TempFolder::contents(path()), "not a keychain at all");

    // A file made with another file password cannot be opened either.
    std::filesystem::remove(path());
    {
        Keychains foreign("DM-", KeychainType::nonsystem(path(), "Xx1Yy2Zz"), files.get());
        ASSERT_TRUE(foreign.setString("pw", USBBlockerKeyChain::key));
    }
    auto other = newProcess();
    EXPECT_EQ(USBBlockerKeyChain(other.get(), path()).password(), std::nullopt);
}

TEST(USBBlockerSettingsTest, WindowValueMapsToTheEngineMode) {
    auto standard = std::make_shared<SimSettingsStore>();
    auto suite = std::make_shared<SimSettingsStore>();
    USBBlockerSettings settings(standard, suite);
    EXPECT_EQ(settings.switchValue(), std::nullopt);
    EXPECT_EQ(settings.model(), AllowDiskMountModel::PopupsQuery);
    settings.setModeValue(USBBlockerSettings::whiteListOnlyValue);
    EXPECT_EQ(suite->value("value"), PlatformValue(2));
    EXPECT_EQ(settings.model(), AllowDiskMountModel::OnlyAllowWhitelistMount);
    settings.setModeValue(USBBlockerSettings::askEveryTimeValue);
    EXPECT_EQ(settings.model(), AllowDiskMountModel::PopupsQuery);
    // What the window never writes (0 would let every disk through) and damaged values ask.
    suite->setValue("value", PlatformValue(0));
    EXPECT_EQ(settings.model(), AllowDiskMountModel::PopupsQuery);
    suite->setValue("value", PlatformValue(std::string("2")));
    EXPECT_EQ(settings.model(), AllowDiskMountModel::PopupsQuery);
    settings.setOn(true);
    EXPECT_EQ(standard->value("USBBlockerKeyValue"), PlatformValue(true));
}

class USBBlockerSwitchTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        platform = SimPlatform::empty();
        Platform::setCurrent(platform);
        daemon = std::make_shared<InProcessDaemon>();
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
        standard = std::make_shared<SimSettingsStore>();
        blockerSwitch = std::make_unique<USBBlockerSwitch>(std::make_shared<DMUSBBlockerWrapper>(),
                                                           USBBlockerSettings(standard, nullptr));
    }
    void TearDown() override {
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }
    void answer(const std::string& method, bool value) {
        PlatformValue::Dictionary service{{method, PlatformValue(value)}};
        daemon = std::make_shared<InProcessDaemon>(PlatformValue::Dictionary{{"usbBlocker", PlatformValue(service)}});
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
    }

    std::shared_ptr<SimPlatform> platform;
    std::shared_ptr<InProcessDaemon> daemon;
    std::shared_ptr<SimSettingsStore> standard;
    std::unique_ptr<USBBlockerSwitch> blockerSwitch;
};

TEST_F(USBBlockerSwitchTest, EnableLoadsTheAgentThreeTenthsOfASecondAfterTheDaemonAgreed) {
    answer("addPlistFileWithReply", true);
    std::optional<double> loadedAt;
    ASSERT_TRUE(blockerSwitch->enable([&](bool succeeded) {
        EXPECT_TRUE(succeeded);
        loadedAt = now();
    }));
    // The switch is on at once, before the load.
    EXPECT_EQ(standard->value("USBBlockerKeyValue"), PlatformValue(true));
    EXPECT_TRUE(platform->scriptRuns().empty());
    Dispatch::main().runUntil([&] { return loadedAt.has_value(); }, seconds(2));
    EXPECT_DOUBLE_EQ(loadedAt.value_or(-1), 0.3);
    ASSERT_EQ(platform->scriptRuns().size(), 1u);
    EXPECT_EQ(platform->scriptRuns()[0].commandLine, platform->commands().loadUSBBlockerAgent());
}

TEST_F(USBBlockerSwitchTest, DaemonRefusalOrSilenceChangesNothing) {
    answer("addPlistFileWithReply", false);
    EXPECT_FALSE(blockerSwitch->enable(nullptr));
    EXPECT_EQ(standard->value("USBBlockerKeyValue"), std::nullopt);
    standard->setValue("USBBlockerKeyValue", PlatformValue(true));
    answer("removePlistFileWithReply", false);
    EXPECT_FALSE(blockerSwitch->removeAgentFile());
    EXPECT_EQ(standard->value("USBBlockerKeyValue"), PlatformValue(true));
    daemon->setBehaviour(InProcessDaemonBehaviour::failConnection);
    EXPECT_FALSE(blockerSwitch->removeAgentFile());
    answer("removePlistFileWithReply", true);
    EXPECT_TRUE(blockerSwitch->removeAgentFile());
    EXPECT_EQ(standard->value("USBBlockerKeyValue"), PlatformValue(false));
}

}  // namespace
}  // namespace harbormind
