#include "usbblocker/USBBlockerSettings.h"

namespace harbormind {

USBBlockerSettings USBBlockerSettings::current() {
    return USBBlockerSettings(std::make_shared<DMUSBBlockerWrapper>());
}

std::optional<bool> USBBlockerSettings::switchValue() const {
    std::optional<USBWardenState> state = wrapper_->state();
    if (!state || (!state->on && !state->passwordSet)) {
        return state ? std::nullopt : std::optional<bool>(false);
    }
    return state->on;
}

std::optional<std::int64_t> USBBlockerSettings::modeValue() const {
    std::optional<USBWardenState> state = wrapper_->state();
    return state ? std::optional<std::int64_t>(state->mode) : std::nullopt;
}

AllowDiskMountModel USBBlockerSettings::modelForModeValue(std::optional<std::int64_t> value) {
    return value == whiteListOnlyValue ? AllowDiskMountModel::OnlyAllowWhitelistMount
                                       : AllowDiskMountModel::PopupsQuery;
}

}  // namespace harbormind
