#include "platform/sim/SimUserDatabase.h"

namespace harbormind {

std::optional<std::string> SimUserDatabase::environment(const std::string& name) {
    std::lock_guard lock(mutex_);
    auto it = environment_.find(name);
    return it == environment_.end() ? std::nullopt : std::optional(it->second);
}

void SimUserDatabase::setEnvironment(const std::string& name, std::optional<std::string> value) {
    std::lock_guard lock(mutex_);
    if (value) {
        environment_[name] = *value;
    } else {
        environment_.erase(name);
    }
}

}  // namespace harbormind
