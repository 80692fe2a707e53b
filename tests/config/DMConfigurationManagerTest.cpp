#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/DMConfigurationManager.h"
#include "platform/sim/SimLoginItems.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using test::VirtualClockTest;

class MemoryStore final : public SettingsStore {
public:
    std::optional<PlatformValue> value(const std::string& key) override {
        auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional<PlatformValue>(found->second);
    }
    void setValue(const std::string& key, const PlatformValue& value) override { values[key] = value; }
    void removeValue(const std::string& key) override { values.erase(key); }
    std::vector<std::string> keys() override {
        std::vector<std::string> result;
        for (const auto& [key, value] : values) {
            result.push_back(key);
        }
        return result;
    }

    std::map<std::string, PlatformValue> values;
};

// Records what the configuration asks of the shell, with the virtual time of each call.
class RecordingEffects final : public DMConfigurationEffects {
public:
    class Window final : public DMWindowHandle {
    public:
        Window(RecordingEffects& owner, std::string name) : owner_(owner), name_(std::move(name)) {}
        void makeKeyAndOrderFront() override { owner_.record("front " + name_); }

    private:
        RecordingEffects& owner_;
        std::string name_;
    };

    std::vector<std::shared_ptr<DMWindowHandle>> visibleWindows() override {
        record("windows");
        std::vector<std::shared_ptr<DMWindowHandle>> windows;
        for (const std::string& name : visible) {
            windows.push_back(std::make_shared<Window>(*this, name));
        }
        return windows;
    }
    void setActivationPolicy(DMActivationPolicy policy) override {
        record(policy == DMActivationPolicy::Regular ? "regular" : "accessory");
    }
    void activateIgnoringOtherApps() override { record("activate"); }
    void createStatusItem() override { record("create status item"); }
    void removeStatusItem() override { record("remove status item"); }
    void setIgnoreHibernateFile(bool flag) override { record(std::string("hibernate ") + (flag ? "on" : "off")); }
    void setNtfsDebugLogging(bool flag) override { record(std::string("debug ") + (flag ? "on" : "off")); }

    void record(const std::string& what) {
        calls.push_back({what, toSeconds(Clock::current().now())});
    }

    struct Call {
        std::string what;
        double at;
        bool operator==(const Call&) const = default;
    };
    std::vector<std::string> visible;
    std::vector<Call> calls;
};

void PrintTo(const RecordingEffects::Call& call, std::ostream* out) { *out << call.what << " @" << call.at; }

class DMConfigurationManagerTest : public VirtualClockTest {
protected:
    std::unique_ptr<DMConfigurationManager> makeManager() {
        return std::make_unique<DMConfigurationManager>("com.kestrane.harbormind", store, &loginItems, effects);
    }
    // Lets the virtual clock run to `time` seconds, running whatever falls due on the way.
    void runUntil(double time) {
        Dispatch::main().runUntil([] { return false; }, seconds(time - now()));
    }

    std::shared_ptr<MemoryStore> store = std::make_shared<MemoryStore>();
    std::shared_ptr<RecordingEffects> effects = std::make_shared<RecordingEffects>();
    SimLoginItems loginItems;
};

using Getter = bool (DMConfigurationManager::*)() const;
using Setter = void (DMConfigurationManager::*)(bool);
struct Setting {
    const char* key;
    bool defaultValue;
    Getter get;
    Setter set;
};

const std::vector<Setting>& settingsTable() {
    using M = DMConfigurationManager;
    static const std::vector<Setting> table = {
        {"statusBarIcon", true, &M::statusBarIcon, &M::setStatusBarIcon},
        {"dockIcon", true, &M::dockIcon, &M::setDockIcon},
        {"ignoreHibernationFileWhenMountingNtfsDrives", true, &M::ignoreHibernationFileWhenMountingNtfsDrives,
         &M::setIgnoreHibernationFileWhenMountingNtfsDrives},
        {"automaticallyOpenDrivesAfterUnlocking", true, &M::automaticallyOpenDrivesAfterUnlocking,
         &M::setAutomaticallyOpenDrivesAfterUnlocking},
        {"automaticallyOpenDrivesAfterConnecting", true, &M::automaticallyOpenDrivesAfterConnecting,
         &M::setAutomaticallyOpenDrivesAfterConnecting},
        {"notifyWhenDrivesAppears", false, &M::notifyWhenDrivesAppears, &M::setNotifyWhenDrivesAppears},
        {"notifyWhenDrivesDisappears", false, &M::notifyWhenDrivesDisappears, &M::setNotifyWhenDrivesDisappears},
        {"notifyWhenDrivesAvailable", true, &M::notifyWhenConnectDrives, &M::setNotifyWhenConnectDrives},
        {"notifyWhenDrivesUnavailable", true, &M::notifyWhenDisconnectDrives, &M::setNotifyWhenDisconnectDrives},
        {"automaticallyDisconnectNetworkDrivesOnSleep", false, &M::automaticallyDisconnectNetworkDrivesOnSleep,
         &M::setAutomaticallyDisconnectNetworkDrivesOnSleep},
        {"automaticallyConnectNetworkDrivesOnWake", false, &M::automaticallyConnectNetworkDrivesOnWake,
         &M::setAutomaticallyConnectNetworkDrivesOnWake},
        {"automaticallyUnmountExternalDrivesOnSleep", false, &M::automaticallyUnmountExternalDrivesOnSleep,
         &M::setAutomaticallyUnmountExternalDrivesOnSleep},
        {"automaticallyLockEncryptedDrivesOnSleep", false, &M::automaticallyLockEncryptedDrivesOnSleep,
         &M::setAutomaticallyLockEncryptedDrivesOnSleep},
    };
    return table;
}

TEST_F(DMConfigurationManagerTest, FreshAccountReadsTheDefaultsAndWritesNothing) {
    auto manager = makeManager();
    for (const Setting& setting : settingsTable()) {
        EXPECT_EQ((manager.get()->*setting.get)(), setting.defaultValue) << setting.key;
    }
    EXPECT_FALSE(manager->enableDebugLogging());
    EXPECT_FALSE(manager->launchAtLogin());
    EXPECT_TRUE(store->values.empty());
}

TEST_F(DMConfigurationManagerTest, EachSettingIsStoredAsABooleanUnderItsOwnKey) {
    auto manager = makeManager();
    for (const Setting& setting : settingsTable()) {
        store->values.clear();
        (manager.get()->*setting.set)(!setting.defaultValue);
        ASSERT_EQ(store->values.size(), 1U) << setting.key;
        ASSERT_TRUE(store->values.count(setting.key)) << setting.key << " written under another key";
        EXPECT_EQ(store->values[setting.key].asBool(), !setting.defaultValue) << setting.key;
        EXPECT_EQ((manager.get()->*setting.get)(), !setting.defaultValue) << setting.key;
    }
}

TEST_F(DMConfigurationManagerTest, ValueOfAnotherTypeReadsAsTheDefault) {
    store->values["dockIcon"] = "yes";
    store->values["notifyWhenDrivesAvailable"] = 0;
    store->values["notifyWhenDrivesAppears"] = 1;
    store->values["automaticallyConnectNetworkDrivesOnWake"] = "true";
    auto manager = makeManager();
    EXPECT_TRUE(manager->dockIcon());
    EXPECT_TRUE(manager->notifyWhenConnectDrives());
    EXPECT_FALSE(manager->notifyWhenDrivesAppears());
    EXPECT_FALSE(manager->automaticallyConnectNetworkDrivesOnWake());
    // Reading leaves the foreign value alone.
    EXPECT_EQ(store->values["dockIcon"].asText(), "yes");
}

TEST_F(DMConfigurationManagerTest, DockIconSwitchesAfterThreeTenthsAndBringsWindowsBackATenthLater) {
    auto manager = makeManager();
    effects->calls.clear();
    effects->visible = {"main", "preferences"};
    manager->setDockIcon(false);
    EXPECT_EQ(store->values["dockIcon"].asBool(), false);
    runUntil(0.29);
    EXPECT_TRUE(effects->calls.empty());
    runUntil(1.0);
    std::vector<RecordingEffects::Call> expected = {
        {"windows", 0.3}, {"accessory", 0.3}, {"front main", 0.4}, {"front preferences", 0.4}, {"activate", 0.4}};
    EXPECT_EQ(effects->calls, expected);
}

TEST_F(DMConfigurationManagerTest, TwoQuickDockTogglesSwitchOnceToTheLastValue) {
    auto manager = makeManager();
    effects->calls.clear();
    manager->setDockIcon(false);
    runUntil(0.1);
    manager->setDockIcon(true);
    runUntil(2.0);
    std::vector<RecordingEffects::Call> expected = {{"windows", 0.4}, {"regular", 0.4}, {"activate", 0.5}};
    EXPECT_EQ(effects->calls, expected);
}

TEST_F(DMConfigurationManagerTest, DockSwitchTakesTheWindowsVisibleWhenItFires) {
    auto manager = makeManager();
    effects->calls.clear();
    effects->visible = {"main"};
    manager->setDockIcon(true);
    runUntil(0.2);
    effects->visible = {"about", "main"};
    runUntil(1.0);
    std::vector<RecordingEffects::Call> expected = {
        {"windows", 0.3}, {"regular", 0.3}, {"front about", 0.4}, {"front main", 0.4}, {"activate", 0.4}};
    EXPECT_EQ(effects->calls, expected);
}

TEST_F(DMConfigurationManagerTest, PendingDockSwitchDiesWithItsManager) {
    auto manager = makeManager();
    effects->calls.clear();
    manager->setDockIcon(false);
    manager.reset();
    runUntil(1.0);
    EXPECT_TRUE(effects->calls.empty());
}

TEST_F(DMConfigurationManagerTest, StatusBarIconCreatesAndRemovesTheItemAfterStoring) {
    auto manager = makeManager();
    effects->calls.clear();
    manager->setStatusBarIcon(false);
    EXPECT_EQ(store->values["statusBarIcon"].asBool(), false);
    manager->setStatusBarIcon(true);
    std::vector<RecordingEffects::Call> expected = {{"remove status item", 0}, {"create status item", 0}};
    EXPECT_EQ(effects->calls, expected);
}

TEST_F(DMConfigurationManagerTest, HibernationFlagIsPushedAtCreationAndOnEveryChange) {
    store->values["ignoreHibernationFileWhenMountingNtfsDrives"] = false;
    auto manager = makeManager();
    manager->setIgnoreHibernationFileWhenMountingNtfsDrives(true);
    manager->setIgnoreHibernationFileWhenMountingNtfsDrives(false);
    std::vector<RecordingEffects::Call> expected = {{"hibernate off", 0}, {"hibernate on", 0}, {"hibernate off", 0}};
    EXPECT_EQ(effects->calls, expected);
}

TEST_F(DMConfigurationManagerTest, EffectsAttachedLaterReceiveTheStoredHibernationFlag) {
    DMConfigurationManager manager("com.kestrane.harbormind", store, &loginItems, nullptr);
    manager.setDockIcon(false);
    manager.setStatusBarIcon(false);
    runUntil(1.0);
    manager.setEffects(effects);
    std::vector<RecordingEffects::Call> expected = {{"hibernate on", 1.0}};
    EXPECT_EQ(effects->calls, expected);
}

TEST_F(DMConfigurationManagerTest, DebugLoggingTogglesInMemoryAndIsOffAfterARestart) {
    auto manager = makeManager();
    effects->calls.clear();
    manager->toggleEnableDebugLogging();
    EXPECT_TRUE(manager->enableDebugLogging());
    manager->toggleEnableDebugLogging();
    manager->toggleEnableDebugLogging();
    std::vector<RecordingEffects::Call> expected = {{"debug on", 0}, {"debug off", 0}, {"debug on", 0}};
    EXPECT_EQ(effects->calls, expected);
    EXPECT_TRUE(store->values.empty());
    auto restarted = makeManager();
    EXPECT_FALSE(restarted->enableDebugLogging());
}

TEST_F(DMConfigurationManagerTest, LaunchAtLoginSwitchesTheHelperLoginItem) {
    auto manager = makeManager();
    EXPECT_EQ(manager->helperBundleID(), "com.kestrane.harbormind.LaunchAtLoginHelper");
    manager->setLaunchAtLogin(true);
    EXPECT_EQ(loginItems.state("com.kestrane.harbormind.LaunchAtLoginHelper"), LoginItemState::Enabled);
    EXPECT_TRUE(manager->launchAtLogin());
    manager->setLaunchAtLogin(false);
    EXPECT_EQ(loginItems.state("com.kestrane.harbormind.LaunchAtLoginHelper"), LoginItemState::Disabled);
    EXPECT_FALSE(manager->launchAtLogin());
    EXPECT_TRUE(store->values.empty());

    loginItems.setRefusing(true);
    manager->setLaunchAtLogin(true);
    EXPECT_FALSE(manager->launchAtLogin());
}

}  // namespace
}  // namespace harbormind
