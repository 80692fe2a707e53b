#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QToolBar>

#include <filesystem>

#include "AppTestSupport.h"
#include "app/shell/AppDelegate.h"
#include "app/preferences/BLPreferenceViewController.h"
#include "app/preferences/BLPreferenceWndController.h"
#include "app/preferences/DMAdvancedPreferenceViewController.h"
#include "app/preferences/DMGeneralPreferenceViewController.h"
#include "app/preferences/DMNotifyPreferenceViewController.h"
#include "app/preferences/DMPreferenceTexts.h"
#include "config/DMConfigurationManager.h"
#include "platform/linux/settings/LinuxSettingsStore.h"
#include "platform/sim/SimLoginItems.h"
#include "platform/sim/SimPlatform.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

// What the settings changed in the shell: the activation policy with the time of each switch;
// the status item through a real application delegate.
class ShellEffects final : public DMConfigurationEffects {
public:
    explicit ShellEffects(AppDelegate& application) : application_(application) {}
    std::vector<std::shared_ptr<DMWindowHandle>> visibleWindows() override { return {}; }
    void setActivationPolicy(DMActivationPolicy policy) override {
        switches.emplace_back(policy, toSeconds(Clock::current().now()));
    }
    void activateIgnoringOtherApps() override {}
    void createStatusItem() override { application_.createStatusItem(); }
    void removeStatusItem() override { application_.removeStatusItem(); }
    void setIgnoreHibernateFile(bool flag) override { ignoreHibernateFile.push_back(flag); }
    void setNtfsDebugLogging(bool) override {}
    void setAppearance(DMAppearance appearance) override { appearances.push_back(appearance); }

    std::vector<std::pair<DMActivationPolicy, double>> switches;
    std::vector<DMAppearance> appearances;
    std::vector<bool> ignoreHibernateFile;

private:
    AppDelegate& application_;
};

class PreferencesTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        platform = SimPlatform::empty();
        Platform::setCurrent(platform);
        std::string pattern = (std::filesystem::temp_directory_path() / "hm-prefs-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        plist = folder + "/com.kestrane.harbormind.plist";
        application = std::make_unique<AppDelegate>();
        effects = std::make_shared<ShellEffects>(*application);
        config = std::make_unique<DMConfigurationManager>(
            "com.kestrane.harbormind", std::make_shared<LinuxSettingsStore>(plist), &loginItems, effects);
        presenter = std::make_shared<test::RecordingPresenter>();
        BLPreferenceWndController::Services services;
        services.config = config.get();
        services.presenter = presenter;
        services.installKext = [this] { ++installs; };
        window = std::make_unique<BLPreferenceWndController>(std::move(services));
        window->showWindow();
    }
    void TearDown() override {
        window.reset();
        config.reset();
        application.reset();
        std::filesystem::remove_all(folder);
        VirtualClockTest::TearDown();
    }

    // What another program reading the settings file finds under `key`.
    std::optional<bool> onDisk(const std::string& key) {
        auto value = LinuxSettingsStore(plist).value(key);
        return value ? value->asBool() : std::nullopt;
    }
    void runFor(double secondsToRun) { Dispatch::main().runUntil([] { return false; }, seconds(secondsToRun)); }

    std::shared_ptr<SimPlatform> platform;
    std::string folder;
    std::string plist;
    SimLoginItems loginItems;
    std::unique_ptr<AppDelegate> application;
    std::shared_ptr<ShellEffects> effects;
    std::unique_ptr<DMConfigurationManager> config;
    std::shared_ptr<test::RecordingPresenter> presenter;
    std::unique_ptr<BLPreferenceWndController> window;
    int installs = 0;
};

TEST_F(PreferencesTest, TheToolbarHasThreeTabsAndSelectingOneShowsItsPaneUnderItsLabel) {
    EXPECT_EQ(window->toolbarTabsIdentifierArray(),
              (std::vector<std::string>{"generalToolbarIdentifier", "advancedToolbarIdentifier",
                                        "notificationToolbarIdentifier"}));
    EXPECT_EQ(window->windowTitle(), "General");
    QList<QAction*> tabs = window->toolbar()->actions();
    ASSERT_EQ(tabs.size(), 3);
    EXPECT_EQ(tabs[2]->text(), "Notification");
    tabs[2]->trigger();
    EXPECT_EQ(window->windowTitle(), "Notification");
    EXPECT_EQ(window->tableViewController()->currentWidget(), window->notificationPane());
    EXPECT_TRUE(tabs[2]->isChecked());
    EXPECT_FALSE(tabs[0]->isChecked());
    tabs[1]->trigger();
    EXPECT_EQ(window->windowTitle(), "Advanced");
    EXPECT_EQ(window->tableViewController()->currentPreferencePanel(), window->advancedPane());
}

TEST_F(PreferencesTest, AFreshInstallationShowsTheDefaults) {
    auto* general = window->generalPane();
    EXPECT_FALSE(general->btnlogin()->isChecked());
    EXPECT_TRUE(general->btndockIcon()->isChecked());
    EXPECT_TRUE(general->btnstatusBarIcon()->isChecked());
    EXPECT_TRUE(general->btnAutomaticallyOpenDriveWhenAvailable()->isChecked());
    EXPECT_TRUE(general->btnOpenNetworkDrivesAfterConnecting()->isChecked());
    auto* advanced = window->advancedPane();
    for (QCheckBox* box : {advanced->disconnectOnSleep(), advanced->connectOnWake(), advanced->unmountOnSleep(),
                           advanced->lockOnSleep()}) {
        EXPECT_FALSE(box->isChecked()) << box->text().toStdString();
    }
    EXPECT_TRUE(advanced->ignoreHibernationFile()->isChecked());
    auto* notification = window->notificationPane();
    EXPECT_TRUE(notification->btnNotifyWhenConnectDrives()->isChecked());
    EXPECT_TRUE(notification->btnNotifyWhenDisconnectDrives()->isChecked());
    EXPECT_FALSE(notification->btnDrivesAppears()->isChecked());
    EXPECT_FALSE(notification->DrivesDisappears()->isChecked());
    // Nothing was written by showing them.
    EXPECT_FALSE(std::filesystem::exists(plist));
}

TEST_F(PreferencesTest, EveryCheckBoxWritesItsOwnKeyToTheSettingsFile) {
    struct Expected {
        QCheckBox* box;
        const char* label;
        const char* key;
    };
    auto* general = window->generalPane();
    auto* advanced = window->advancedPane();
    auto* notification = window->notificationPane();
    const std::vector<Expected> boxes{
        {general->btndockIcon(), "Show dock icon", "dockIcon"},
        {general->btnstatusBarIcon(), "Show menu bar icon", "statusBarIcon"},
        {general->btnAutomaticallyOpenDriveWhenAvailable(), "Open encrypted drives after unlocking",
         "automaticallyOpenDrivesAfterUnlocking"},
        {general->btnOpenNetworkDrivesAfterConnecting(), "Open network drives after connecting",
         "automaticallyOpenDrivesAfterConnecting"},
        {advanced->disconnectOnSleep(), "Disconnect network drives when the system goes to sleep",
         "automaticallyDisconnectNetworkDrivesOnSleep"},
        {advanced->connectOnWake(), "Connect network drives when the system wakes up",
         "automaticallyConnectNetworkDrivesOnWake"},
        {advanced->unmountOnSleep(), "Unmount external drives when the system goes to sleep",
         "automaticallyUnmountExternalDrivesOnSleep"},
        {advanced->lockOnSleep(), "Lock BitLocker drives when the system goes to sleep",
         "automaticallyLockEncryptedDrivesOnSleep"},
        {advanced->ignoreHibernationFile(), "Ignore the hibernation file when mounting NTFS drives",
         "ignoreHibernationFileWhenMountingNtfsDrives"},
        {notification->btnNotifyWhenConnectDrives(), "Notify when drives are connected", "notifyWhenDrivesAvailable"},
        {notification->btnNotifyWhenDisconnectDrives(), "Notify when drives are disconnected",
         "notifyWhenDrivesUnavailable"},
        {notification->btnDrivesAppears(), "Notify when drives appear", "notifyWhenDrivesAppears"},
        {notification->DrivesDisappears(), "Notify when drives disappear", "notifyWhenDrivesDisappears"},
    };
    for (const Expected& expected : boxes) {
        EXPECT_EQ(expected.box->text().toStdString(), expected.label);
        const bool before = expected.box->isChecked();
        expected.box->click();
        EXPECT_EQ(onDisk(expected.key), !before) << expected.key;
        expected.box->click();
        EXPECT_EQ(onDisk(expected.key), before) << expected.key;
    }
    // Each click wrote only its own key: thirteen keys, no more.
    EXPECT_EQ(LinuxSettingsStore(plist).keys().size(), boxes.size());
    // The hibernation flag reached the NTFS service at once, each time.
    EXPECT_EQ(effects->ignoreHibernateFile.size(), 3u);
}

TEST_F(PreferencesTest, AKeyChangedOnDiskShowsInThePaneWhenItIsOpenedAgain) {
    LinuxSettingsStore other(plist);
    other.setValue("notifyWhenDrivesAvailable", PlatformValue(false));
    other.setValue("automaticallyConnectNetworkDrivesOnWake", PlatformValue(true));
    // A value of another type reads as the default.
    other.setValue("dockIcon", PlatformValue("no"));
    window->close();
    window->showWindow();
    EXPECT_FALSE(window->notificationPane()->btnNotifyWhenConnectDrives()->isChecked());
    EXPECT_TRUE(window->advancedPane()->connectOnWake()->isChecked());
    EXPECT_TRUE(window->generalPane()->btndockIcon()->isChecked());
}

TEST_F(PreferencesTest, TheLookIsLightDarkOrSystemStoredAsAWordAndSystemByDefault) {
    QComboBox* choice = window->generalPane()->appearanceChoice();
    ASSERT_EQ(choice->count(), 3);
    EXPECT_EQ(choice->itemText(0), "Light");
    EXPECT_EQ(choice->itemText(1), "Dark");
    EXPECT_EQ(choice->itemText(2), "System");
    EXPECT_EQ(choice->currentIndex(), 2);

    choice->activated(1);
    EXPECT_EQ(effects->appearances, std::vector<DMAppearance>{DMAppearance::dark});
    EXPECT_EQ(LinuxSettingsStore(plist).value("appearance")->asText(), "dark");

    LinuxSettingsStore(plist).setValue("appearance", PlatformValue("light"));
    window->close();
    window->showWindow();
    EXPECT_EQ(choice->currentIndex(), 0);
    LinuxSettingsStore(plist).setValue("appearance", PlatformValue("sepia"));
    window->close();
    window->showWindow();
    EXPECT_EQ(choice->currentIndex(), 2) << "an unknown word reads as the default";
    EXPECT_EQ(effects->appearances.size(), 1u) << "showing the stored choice changes nothing";
}

TEST_F(PreferencesTest, LaunchAtLoginFollowsTheLoginItem) {
    window->generalPane()->btnlogin()->click();
    EXPECT_EQ(loginItems.state(config->helperBundleID()), LoginItemState::Enabled);
    loginItems.setState(config->helperBundleID(), LoginItemState::Disabled);
    window->showWindow();
    EXPECT_FALSE(window->generalPane()->btnlogin()->isChecked());
}

TEST_F(PreferencesTest, UncheckingTheMenuBarIconRemovesTheStatusItemAtOnceAndCheckingMakesExactlyOne) {
    // As on a desktop with a tray area (the offscreen platform has none).
    application->setTrayAvailable([] { return true; });
    application->createStatusItem();
    ASSERT_NE(application->statusItem(), nullptr);
    window->generalPane()->btnstatusBarIcon()->click();
    EXPECT_EQ(application->statusItem(), nullptr);
    window->generalPane()->btnstatusBarIcon()->click();
    QSystemTrayIcon* item = application->statusItem();
    ASSERT_NE(item, nullptr);
    // Checking it again while it exists makes no second one.
    config->setStatusBarIcon(true);
    EXPECT_EQ(application->statusItem(), item);
}

TEST_F(PreferencesTest, TwoQuickDockIconClicksSwitchOnce0Point3SecondsAfterTheLast) {
    const double start = now();
    window->generalPane()->btndockIcon()->click();
    runFor(0.1);
    window->generalPane()->btndockIcon()->click();
    runFor(1);
    ASSERT_EQ(effects->switches.size(), 1u);
    EXPECT_EQ(effects->switches[0].first, DMActivationPolicy::Regular);
    EXPECT_NEAR(effects->switches[0].second - start, 0.4, 1e-9);
}

TEST_F(PreferencesTest, TheButtonsInstallTheDriverAndOpenOrExplainTheNotificationSettings) {
    window->advancedPane()->btnInstallDriver()->click();
    EXPECT_EQ(installs, 1);
    // The simulated desktop has no notification settings: the pane says what to do instead.
    window->notificationPane()->btnEnableNotification()->click();
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title, DMPreferenceTexts::noNotificationSettingsTitle);

    BLPreferenceWndController::Services none;
    none.config = config.get();
    BLPreferenceWndController withoutDriver(std::move(none));
    EXPECT_FALSE(withoutDriver.advancedPane()->btnInstallDriver()->isEnabled());
    EXPECT_FALSE(withoutDriver.advancedPane()->btnInstallDriver()->toolTip().isEmpty());
}

}  // namespace
}  // namespace harbormind
