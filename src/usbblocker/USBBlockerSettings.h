#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "usbblocker/AllowDiskMountModel.h"
#include "usbblocker/DMUSBBlockerWrapper.h"
#include "usbblocker/USBWardenState.h"

namespace harbormind {

// Whether "USB Warden" is on and its mode, as the daemon keeps them for the whole machine
// (no user can switch it off or weaken its mode behind the daemon's back). Every read asks
// the daemon; a daemon that does not answer reads as a Warden that is off.
class USBBlockerSettings {
public:
    static constexpr int askEveryTimeValue = USBWardenState::askEveryTime;
    static constexpr int whiteListOnlyValue = USBWardenState::whiteListOnly;

    // Over a new client of the daemon.
    static USBBlockerSettings current();
    explicit USBBlockerSettings(std::shared_ptr<DMUSBBlockerWrapper> wrapper) : wrapper_(std::move(wrapper)) {}

    // Absent: never turned on and no password ever set.
    std::optional<bool> switchValue() const;
    bool isOn() const { return switchValue().value_or(false); }

    // The mode the settings window shows: 1 ask every time, 2 white list only.
    std::optional<std::int64_t> modeValue() const;

    // The engine's mode for a stored value: only "white list only" (2) is stricter; anything
    // else is the asking mode, which is what the window shows for it.
    static AllowDiskMountModel modelForModeValue(std::optional<std::int64_t> value);
    AllowDiskMountModel model() const { return modelForModeValue(modeValue()); }

    const std::shared_ptr<DMUSBBlockerWrapper>& wrapper() const { return wrapper_; }

private:
    std::shared_ptr<DMUSBBlockerWrapper> wrapper_;
};

}  // namespace harbormind
