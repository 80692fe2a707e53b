#pragma once

#include <QDialog>
#include <memory>
#include <string>

namespace harbormind {

class DMAlertPresenter;
class USBBlockerSettings;
class USBDiskList;
class USBOutlineView;
class USBViewController;

// The "USB Warden" settings window: a sidebar of three pages (mode, password, lists). It is
// opened behind the password, which it keeps while open for the mode changes it makes.
class USBBLockerWindowController final : public QDialog {
public:
    static constexpr int width = 700;
    static constexpr int height = 420;

    USBBLockerWindowController(QWidget* parent, USBDiskList& lists, const USBBlockerSettings& settings,
                               std::shared_ptr<DMAlertPresenter> presenter);

    // Selects the sidebar row of that title and shows its page.
    void select(int row);
    // The password the window was opened with; forgotten when it closes.
    void setPassword(std::string password) { password_ = std::move(password); }
    void done(int result) override;

    USBOutlineView* usbOutlineView = nullptr;
    USBViewController* usbViewController = nullptr;
    USBDiskList& disklist;

private:
    std::string password_;
};

}  // namespace harbormind
