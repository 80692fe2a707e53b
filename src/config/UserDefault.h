#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/SettingsStore.h"

namespace harbormind {

// One setting bound to a key of a settings store. Reading never writes: a missing value, or a
// value of another type, reads as the default.
template <typename T>
class UserDefault {
public:
    UserDefault(std::string boundKey, T fallback, std::shared_ptr<SettingsStore> store)
        : key(std::move(boundKey)), defaultValue(std::move(fallback)), userDefaults(std::move(store)) {}

    T value() const {
        if (!userDefaults) {
            return defaultValue;
        }
        std::optional<PlatformValue> stored = userDefaults->value(key);
        if (!stored) {
            return defaultValue;
        }
        return typed(*stored).value_or(defaultValue);
    }

    void setValue(const T& value) const {
        if (userDefaults) {
            userDefaults->setValue(key, PlatformValue(value));
        }
    }

    const std::string key;
    const T defaultValue;
    const std::shared_ptr<SettingsStore> userDefaults;

private:
    static std::optional<T> typed(const PlatformValue& stored) {
        if constexpr (std::is_same_v<T, bool>) {
            return stored.asBool();
        } else if constexpr (std::is_integral_v<T>) {
            std::optional<std::int64_t> number = stored.asInteger();
            return number ? std::optional<T>(static_cast<T>(*number)) : std::nullopt;
        } else if constexpr (std::is_floating_point_v<T>) {
            return stored.asReal();
        } else {
            static_assert(std::is_same_v<T, std::string>, "settings hold Booleans, numbers or texts");
            return stored.asText();
        }
    }
};

}  // namespace harbormind
