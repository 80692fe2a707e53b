// Pictures of the network drive editor and the three preference panes for docs/screenshots,
// made when HARBORMIND_SCREENSHOT_DIR names a folder (skipped otherwise), in the light palette
// and the application's dark one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include "AppTestSupport.h"
#include "ScreenshotTest.h"
#include "app/shell/DMDarkPalette.h"
#include "app/network/DMNetworkDriveConfigurableViewController.h"
#include "app/network/DMNewNetworkCloudDrivesWindowController.h"
#include "app/preferences/BLPreferenceWndController.h"
#include "config/DMConfigurationManager.h"
#include "network/DMNetworkDriveManager.h"
#include "platform/sim/SimLoginItems.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimSettingsStore.h"

namespace harbormind {
namespace {

class PreferencesScreenshotTest : public test::ScreenshotTest {
protected:
    void SetUp() override {
        ScreenshotTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        platform = SimPlatform::empty();
        Platform::setCurrent(platform);
        config = std::make_unique<DMConfigurationManager>("com.kestrane.harbormind",
                                                          std::make_shared<SimSettingsStore>(), &loginItems, nullptr);
    }
    std::shared_ptr<SimPlatform> platform;
    SimLoginItems loginItems;
    std::unique_ptr<DMConfigurationManager> config;
};

TEST_F(PreferencesScreenshotTest, TheNetworkDriveEditor) {
    auto manager = DMNetworkDriveManager::create({});
    auto* editor = new DMNewNetworkCloudDrivesWindowController(manager, nullptr, nullptr, config.get());
    auto& form = *editor->currentConfigurableViewController();
    form.tfNickName()->setText("Team");
    form.tfServer()->setText("nas.local/team/");
    form.tfUsername()->setText("ann");
    editor->resize(460, editor->sizeHint().height());
    editor->show();
    save(*editor, "network-drive-editor");
    form.tfUsername()->clear();
    editor->connect_clickWithSender();
    save(*editor, "network-drive-editor-incomplete");
    delete editor;
}

TEST_F(PreferencesScreenshotTest, EachPreferencePane) {
    config->setAutomaticallyConnectNetworkDrivesOnWake(true);
    BLPreferenceWndController::Services services;
    services.config = config.get();
    services.installKext = [] {};
    BLPreferenceWndController window(std::move(services));
    window.resize(560, 300);
    window.showWindow();
    for (const char* tab : {"generalToolbarIdentifier", "advancedToolbarIdentifier", "notificationToolbarIdentifier"}) {
        ASSERT_TRUE(window.selectTab(tab));
        std::string name = tab;
        save(window, "preferences-" + name.substr(0, name.find("Toolbar")));
    }
}

}  // namespace
}  // namespace harbormind
