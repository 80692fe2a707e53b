#pragma once

#include "app/preferences/DMPreferencePane.h"

class QComboBox;

namespace harbormind {

// Launch at login, the Dock and status-bar icons, opening drives after unlocking or connecting,
// and the window's look (light, dark or the desktop's).
class DMGeneralPreferenceViewController final : public DMPreferencePane {
public:
    DMGeneralPreferenceViewController(DMConfigurationManager& config, QWidget* parent);

    QCheckBox* btnlogin() const { return checkBoxes().box(0); }
    QCheckBox* btndockIcon() const { return checkBoxes().box(1); }
    QCheckBox* btnstatusBarIcon() const { return checkBoxes().box(2); }
    QCheckBox* btnAutomaticallyOpenDriveWhenAvailable() const { return checkBoxes().box(3); }
    QCheckBox* btnOpenNetworkDrivesAfterConnecting() const { return checkBoxes().box(4); }
    // Light, Dark and System, in that order.
    QComboBox* appearanceChoice() const { return appearanceChoice_; }

    void reloadSettings() override;

private:
    QComboBox* appearanceChoice_;
};

}  // namespace harbormind
