#pragma once

#include <memory>

#include "app/preferences/DMPreferencePane.h"

class QPushButton;

namespace harbormind {

class DMAlertPresenter;

// Which drive events post a desktop notification, and a way to the desktop's own
// notification settings.
class DMNotifyPreferenceViewController final : public DMPreferencePane {
public:
    // `presenter` explains what to do when the desktop's settings cannot be opened.
    DMNotifyPreferenceViewController(DMConfigurationManager& config, std::shared_ptr<DMAlertPresenter> presenter,
                                     QWidget* parent);

    QCheckBox* btnNotifyWhenConnectDrives() const { return checkBoxes().box(0); }
    QCheckBox* btnNotifyWhenDisconnectDrives() const { return checkBoxes().box(1); }
    QCheckBox* btnDrivesAppears() const { return checkBoxes().box(2); }
    QCheckBox* DrivesDisappears() const { return checkBoxes().box(3); }
    QPushButton* btnEnableNotification() const { return btnEnableNotification_; }

    void enableNotification_click();

private:
    std::shared_ptr<DMAlertPresenter> presenter_;
    QPushButton* btnEnableNotification_;
};

}  // namespace harbormind
