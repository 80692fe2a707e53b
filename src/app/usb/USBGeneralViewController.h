#pragma once

#include <memory>

#include "app/usb/USBPage.h"
#include "usbblocker/USBBlockerSettings.h"

class QComboBox;

namespace harbormind {

// The mode page: which disks the blocker lets through.
class USBGeneralViewController final : public USBPage {
public:
    USBGeneralViewController(QWidget* parent, USBBlockerSettings settings);

    void pageShown() override;
    void btnModelSelect_changed(int index);

    QComboBox* btnModelSelect = nullptr;
    const USBBlockerSettings userDefaults;
};

}  // namespace harbormind
