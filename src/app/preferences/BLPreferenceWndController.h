#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QToolBar;

namespace harbormind {

class BLPreferencePanel;
class BLPreferenceViewController;
class DMAdvancedPreferenceViewController;
class DMAlertPresenter;
class DMConfigurationManager;
class DMGeneralPreferenceViewController;
class DMNotifyPreferenceViewController;

// The preference window: a toolbar of three tabs (General, Advanced, Notification) over the
// pane of the selected tab; the window's title is the tab's label. Made once and kept.
class BLPreferenceWndController final : public QMainWindow {
public:
    struct Services {
        DMConfigurationManager* config = nullptr;
        // Installs the NTFS driver; none where it cannot be installed from here.
        std::function<void()> installKext;
        std::shared_ptr<DMAlertPresenter> presenter;
    };

    explicit BLPreferenceWndController(Services services, QWidget* parent = nullptr);

    // Shows the window in front, every box reading its setting as stored now.
    void showWindow();
    // Selects the tab with this toolbar identifier; false when there is none.
    bool selectTab(const std::string& identifier);

    const std::vector<BLPreferencePanel*>& preferencePanelArray() const { return preferencePanelArray_; }
    const std::vector<std::string>& toolbarTabsIdentifierArray() const { return toolbarTabsIdentifierArray_; }
    BLPreferenceViewController* tableViewController() const { return tableViewController_; }
    QToolBar* toolbar() const { return toolbar_; }
    DMGeneralPreferenceViewController* generalPane() const { return general_; }
    DMAdvancedPreferenceViewController* advancedPane() const { return advanced_; }
    DMNotifyPreferenceViewController* notificationPane() const { return notification_; }

private:
    void addTab(BLPreferencePanel* panel);

    BLPreferenceViewController* tableViewController_;
    QToolBar* toolbar_;
    DMGeneralPreferenceViewController* general_;
    DMAdvancedPreferenceViewController* advanced_;
    DMNotifyPreferenceViewController* notification_;
    std::vector<BLPreferencePanel*> preferencePanelArray_;
    std::vector<std::string> toolbarTabsIdentifierArray_;
    std::vector<QAction*> tabs_;
};

}  // namespace harbormind
