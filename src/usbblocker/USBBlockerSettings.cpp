#include "usbblocker/USBBlockerSettings.h"

#include "platform/Platform.h"
#include "platform/SettingsStores.h"

namespace harbormind {

USBBlockerSettings USBBlockerSettings::current() {
    SettingsStores& stores = Platform::current().settings();
    return USBBlockerSettings(stores.standard(), stores.suite(suiteName));
}

std::optional<bool> USBBlockerSettings::switchValue() const {
    if (!standard_) {
        return std::nullopt;
    }
    std::optional<PlatformValue> stored = standard_->value(switchKey);
    return stored ? stored->asBool() : std::nullopt;
}

void USBBlockerSettings::setOn(bool on) const {
    if (standard_) {
        standard_->setValue(switchKey, PlatformValue(on));
    }
}

std::optional<std::int64_t> USBBlockerSettings::modeValue() const {
    if (!suite_) {
        return std::nullopt;
    }
    std::optional<PlatformValue> stored = suite_->value(modeKey);
    return stored ? stored->asInteger() : std::nullopt;
}

void USBBlockerSettings::setModeValue(int value) const {
    if (suite_) {
        suite_->setValue(modeKey, PlatformValue(value));
    }
}

AllowDiskMountModel USBBlockerSettings::modelForModeValue(std::optional<std::int64_t> value) {
    return value == whiteListOnlyValue ? AllowDiskMountModel::OnlyAllowWhitelistMount
                                       : AllowDiskMountModel::PopupsQuery;
}

}  // namespace harbormind
