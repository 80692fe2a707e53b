#pragma once

#include <QDialog>
#include <memory>

namespace harbormind {

class DMAlertPresenter;
class USBBlockerKeyChain;
class USBBlockerSettings;
class USBDiskList;
class USBOutlineView;
class USBViewController;

// The "USB Warden" settings window: a sidebar of three pages (mode, password, white list).
class USBBLockerWindowController final : public QDialog {
public:
    static constexpr int width = 700;
    static constexpr int height = 420;

    USBBLockerWindowController(QWidget* parent, USBDiskList& lists, const USBBlockerKeyChain& keyChain,
                               const USBBlockerSettings& settings, std::shared_ptr<DMAlertPresenter> presenter);

    // Selects the sidebar row of that title and shows its page.
    void select(int row);

    USBOutlineView* usbOutlineView = nullptr;
    USBViewController* usbViewController = nullptr;
    USBDiskList& disklist;
};

}  // namespace harbormind
