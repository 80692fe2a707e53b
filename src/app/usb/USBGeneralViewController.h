#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/usb/USBPage.h"
#include "usbblocker/USBBlockerSettings.h"

class QComboBox;

namespace harbormind {

class DMAlertPresenter;

// The mode page: which disks the blocker lets through. The mode is the daemon's; changing it
// takes the password the settings were opened with, and a refused change shows why and puts
// the pop-up back.
class USBGeneralViewController final : public USBPage {
public:
    USBGeneralViewController(QWidget* parent, USBBlockerSettings settings, std::function<std::string()> password,
                             std::shared_ptr<DMAlertPresenter> presenter);

    void pageShown() override;
    void btnModelSelect_changed(int index);

    QComboBox* btnModelSelect = nullptr;
    const USBBlockerSettings userDefaults;

private:
    std::function<std::string()> password_;
    std::shared_ptr<DMAlertPresenter> presenter_;
};

}  // namespace harbormind
