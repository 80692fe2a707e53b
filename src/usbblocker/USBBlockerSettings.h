#pragma once

#include <memory>
#include <optional>

#include "platform/SettingsStore.h"
#include "usbblocker/AllowDiskMountModel.h"

namespace harbormind {

// Where "USB Warden" keeps its switch and its mode. The switch is in the application's own
// settings; the mode is in the suite shared with the blocker agent, under "value", as the
// settings window writes it (1 ask every time, 2 white list only).
class USBBlockerSettings {
public:
    static constexpr const char* switchKey = "USBBlockerKeyValue";
    static constexpr const char* suiteName = "group.drivemanager.app";
    static constexpr const char* modeKey = "value";
    static constexpr int askEveryTimeValue = 1;
    static constexpr int whiteListOnlyValue = 2;

    // Over the current platform's standard store and the shared suite.
    static USBBlockerSettings current();
    USBBlockerSettings(std::shared_ptr<SettingsStore> standard, std::shared_ptr<SettingsStore> suite)
        : standard_(std::move(standard)), suite_(std::move(suite)) {}

    // Absent: never turned on and no password ever set.
    std::optional<bool> switchValue() const;
    bool isOn() const { return switchValue().value_or(false); }
    void setOn(bool on) const;

    // The stored "value", whatever it holds (absent when none or not an integer).
    std::optional<std::int64_t> modeValue() const;
    void setModeValue(int value) const;

    // The engine's mode for what the settings window chose. Only "white list only" (2) is
    // stricter; everything else, absent or damaged included, is the asking mode, which is
    // what the window shows for it.
    static AllowDiskMountModel modelForModeValue(std::optional<std::int64_t> value);
    AllowDiskMountModel model() const { return modelForModeValue(modeValue()); }

    const std::shared_ptr<SettingsStore>& suite() const { return suite_; }

private:
    std::shared_ptr<SettingsStore> standard_;
    std::shared_ptr<SettingsStore> suite_;
};

}  // namespace harbormind
