#pragma once

#include <QStackedWidget>
#include <string>

namespace harbormind {

class USBChangePasswordViewController;
class USBGeneralViewController;
class USBPage;
class USBWhiteListViewController;

// Shows one settings page at a time, switching at once.
class USBViewController final : public QStackedWidget {
public:
    USBViewController(QWidget* parent, USBGeneralViewController* general,
                      USBChangePasswordViewController* changePassword, USBWhiteListViewController* whiteList);

    // Shows the page of that category; the password page is cleared whenever a page shows.
    void show(const std::string& category);

    USBGeneralViewController* const usbGeneralViewController;
    USBChangePasswordViewController* const usbChangePasswordViewController;
    USBWhiteListViewController* const usbWhiteListViewController;
    USBPage* currentController = nullptr;
};

}  // namespace harbormind
