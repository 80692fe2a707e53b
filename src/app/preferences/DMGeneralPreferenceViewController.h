#pragma once

#include "app/preferences/DMPreferencePane.h"

namespace harbormind {

// Launch at login, the Dock and status-bar icons, and opening drives after unlocking or
// connecting.
class DMGeneralPreferenceViewController final : public DMPreferencePane {
public:
    DMGeneralPreferenceViewController(DMConfigurationManager& config, QWidget* parent);

    QCheckBox* btnlogin() const { return checkBoxes().box(0); }
    QCheckBox* btndockIcon() const { return checkBoxes().box(1); }
    QCheckBox* btnstatusBarIcon() const { return checkBoxes().box(2); }
    QCheckBox* btnAutomaticallyOpenDriveWhenAvailable() const { return checkBoxes().box(3); }
    QCheckBox* btnOpenNetworkDrivesAfterConnecting() const { return checkBoxes().box(4); }
};

}  // namespace harbormind
