#pragma once

#include <string>

#include "app/common/DMAlert.h"
#include "app/common/DMTr.h"
#include "usbblocker/USBBlockerTexts.h"

namespace harbormind {

// The two kinds of message "USB Warden" shows: a notice (the text as the message, one
// button) and an alert (an informative text and the button "Ok").
class USBNotices {
public:
    static DMAlert notice(const std::string& message) { return DMAlert{message, {}, {DMTr::text(USBBlockerTexts::ok)}}; }
    static DMAlert alert(const std::string& text) { return DMAlert{{}, text, {DMTr::text(USBBlockerTexts::ok)}}; }
};

}  // namespace harbormind
