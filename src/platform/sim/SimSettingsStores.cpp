#include "platform/sim/SimSettingsStores.h"

namespace harbormind {

SimSettingsStores::SimSettingsStores(PlatformValue::Dictionary standard,
                                     const std::map<std::string, PlatformValue::Dictionary>& suites)
    : standard_(std::make_shared<SimSettingsStore>(std::move(standard))) {
    for (const auto& [name, values] : suites) {
        suites_[name] = std::make_shared<SimSettingsStore>(values);
    }
}

std::shared_ptr<SettingsStore> SimSettingsStores::suite(const std::string& name) {
    std::lock_guard lock(mutex_);
    auto& store = suites_[name];
    if (!store) {
        store = std::make_shared<SimSettingsStore>();
    }
    return store;
}

}  // namespace harbormind
