#pragma once

#include <map>
#include <mutex>

#include "platform/SettingsStore.h"
#include "usbblocker/USBBlockerSettings.h"

namespace harbormind {

// The engine reads its mode as "model" from its own settings, while the settings window
// writes "value" in the suite shared with the agent. This store, kept in memory, hands the
// engine the suite's choice under the engine's key; nothing is written back anywhere.
class USBAgentModeStore final : public SettingsStore {
public:
    explicit USBAgentModeStore(const USBBlockerSettings& settings);

    std::optional<PlatformValue> value(const std::string& key) override;
    void setValue(const std::string& key, const PlatformValue& value) override;
    void removeValue(const std::string& key) override;
    std::vector<std::string> keys() override;

private:
    std::mutex mutex_;
    std::map<std::string, PlatformValue> values_;
};

}  // namespace harbormind
