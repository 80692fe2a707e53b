#include "app/usb/USBViewController.h"

#include "app/usb/USBChangePasswordViewController.h"
#include "app/usb/USBGeneralViewController.h"
#include "app/usb/USBWhiteListViewController.h"

namespace harbormind {

USBViewController::USBViewController(QWidget* parent, USBGeneralViewController* general,
                                     USBChangePasswordViewController* changePassword,
                                     USBWhiteListViewController* whiteList)
    : QStackedWidget(parent),
      usbGeneralViewController(general),
      usbChangePasswordViewController(changePassword),
      usbWhiteListViewController(whiteList) {
    for (USBPage* page : {static_cast<USBPage*>(general), static_cast<USBPage*>(changePassword),
                          static_cast<USBPage*>(whiteList)}) {
        addWidget(page);
    }
}

void USBViewController::show(const std::string& category) {
    for (USBPage* page : {static_cast<USBPage*>(usbGeneralViewController),
                          static_cast<USBPage*>(usbChangePasswordViewController),
                          static_cast<USBPage*>(usbWhiteListViewController)}) {
        if (page->category == category) {
            currentController = page;
            setCurrentWidget(page);
            page->pageShown();
        }
    }
    usbChangePasswordViewController->pageShown();
}

}  // namespace harbormind
