#pragma once

#include <string>
#include <string_view>

#include "usbblocker/AllowDiskMountModel.h"

namespace harbormind {

// Whether "USB Warden" is on, its mode and whether it has a password, as the daemon keeps
// them for the whole machine in a root-owned file every user may read ("usbwarden.state",
// beside the lists file). Lines "key = value": "on" (true/false), "mode" (1 ask every time,
// 2 white list only) and "password" (true/false: whether one is set; the password itself
// is kept elsewhere, readable by root only). A missing file is a Warden never turned on.
struct USBWardenState {
    static constexpr const char* fileName = "usbwarden.state";
    static constexpr int askEveryTime = 1;
    static constexpr int whiteListOnly = 2;

    bool on = false;
    int mode = askEveryTime;
    bool passwordSet = false;

    // Unknown keys and values are ignored; a mode other than 2 is the asking mode.
    static USBWardenState parse(std::string_view text);
    std::string text() const;

    AllowDiskMountModel model() const {
        return mode == whiteListOnly ? AllowDiskMountModel::OnlyAllowWhitelistMount : AllowDiskMountModel::PopupsQuery;
    }
    bool operator==(const USBWardenState&) const = default;
};

}  // namespace harbormind
