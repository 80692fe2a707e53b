#pragma once

#include <map>
#include <mutex>

#include "platform/SettingsStores.h"
#include "platform/sim/SimSettingsStore.h"

namespace harbormind {

// The standard store and named suites, in memory. A suite is made empty on first use and
// is the same store for every later caller.
class SimSettingsStores final : public SettingsStores {
public:
    SimSettingsStores(PlatformValue::Dictionary standard, const std::map<std::string, PlatformValue::Dictionary>& suites);

    std::shared_ptr<SettingsStore> standard() override { return standard_; }
    std::shared_ptr<SettingsStore> suite(const std::string& name) override;

private:
    std::shared_ptr<SimSettingsStore> standard_;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<SimSettingsStore>> suites_;
};

}  // namespace harbormind
