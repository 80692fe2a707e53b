#pragma once

#include <functional>

#include "app/preferences/DMPreferencePane.h"

class QPushButton;

namespace harbormind {

// The automatic actions on sleep and wake, the NTFS hibernation file, and installing the
// NTFS driver.
class DMAdvancedPreferenceViewController final : public DMPreferencePane {
public:
    // `installKext` installs the driver; without it the button is disabled and says why.
    DMAdvancedPreferenceViewController(DMConfigurationManager& config, std::function<void()> installKext,
                                       QWidget* parent);

    QCheckBox* disconnectOnSleep() const { return checkBoxes().box(0); }
    QCheckBox* connectOnWake() const { return checkBoxes().box(1); }
    QCheckBox* unmountOnSleep() const { return checkBoxes().box(2); }
    QCheckBox* lockOnSleep() const { return checkBoxes().box(3); }
    QCheckBox* ignoreHibernationFile() const { return checkBoxes().box(4); }
    QPushButton* btnInstallDriver() const { return btnInstallDriver_; }

    void installKext_click();

private:
    std::function<void()> installKext_;
    QPushButton* btnInstallDriver_;
};

}  // namespace harbormind
