#include "app/usb/USBBLockerWindowController.h"

#include <QHBoxLayout>
#include <QSignalBlocker>

#include "app/common/DMTr.h"
#include "app/usb/USBChangePasswordViewController.h"
#include "app/usb/USBGeneralViewController.h"
#include "app/usb/USBOutlineView.h"
#include "app/usb/USBViewController.h"
#include "app/usb/USBWhiteListViewController.h"
#include "usbblocker/USBBlockerSettings.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBDiskList.h"

namespace harbormind {

USBBLockerWindowController::USBBLockerWindowController(QWidget* parent, USBDiskList& lists,
                                                       const USBBlockerSettings& settings,
                                                       std::shared_ptr<DMAlertPresenter> presenter)
    : QDialog(parent), disklist(lists) {
    setWindowTitle(DMTr::qtext("USB Warden"));
    setFixedSize(width, height);
    disklist.load();
    usbOutlineView = new USBOutlineView(
        this, {DMTr::text(USBBlockerTexts::general), DMTr::text(USBBlockerTexts::setPassword), DMTr::text(USBBlockerTexts::deviceWhiteList)});
    DMUSBBlockerWrapper& wrapper = *settings.wrapper();
    usbViewController = new USBViewController(
        this, new USBGeneralViewController(nullptr, settings, [this] { return password_; }, presenter),
        new USBChangePasswordViewController(nullptr, wrapper, presenter),
        new USBWhiteListViewController(nullptr, disklist, wrapper, presenter));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(usbOutlineView);
    layout->addWidget(usbViewController, 1);
    connect(usbOutlineView, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < static_cast<int>(usbOutlineView->dataSource.size())) {
            usbViewController->show(usbOutlineView->dataSource[static_cast<std::size_t>(row)]);
        }
    });
}

void USBBLockerWindowController::select(int row) {
    {
        QSignalBlocker quiet(usbOutlineView);
        usbOutlineView->setCurrentRow(row);
    }
    if (row >= 0 && row < static_cast<int>(usbOutlineView->dataSource.size())) {
        usbViewController->show(usbOutlineView->dataSource[static_cast<std::size_t>(row)]);
    }
}

void USBBLockerWindowController::done(int result) {
    password_.clear();
    QDialog::done(result);
}

}  // namespace harbormind
