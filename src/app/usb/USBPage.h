#pragma once

#include <QWidget>
#include <string>

namespace harbormind {

// One page of the "USB Warden" settings window, found by its category.
class USBPage : public QWidget {
public:
    USBPage(QWidget* parent, std::string pageCategory) : QWidget(parent), category(std::move(pageCategory)) {}
    // Called each time the page is shown.
    virtual void pageShown() {}

    const std::string category;
};

}  // namespace harbormind
