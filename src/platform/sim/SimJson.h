#pragma once

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

#include "platform/PlatformValue.h"

namespace harbormind {

// Conversion between scenario JSON and platform values. Objects become dictionaries, arrays
// arrays; an object {"$data": "0a1b"} becomes bytes. Nesting deeper than `maximumDepth`
// is refused so that hostile input cannot exhaust the stack.
class SimJson {
public:
    static constexpr int maximumDepth = 64;

    static std::optional<PlatformValue> toValue(const nlohmann::json& json, std::string& error, int depth = 0);
    static nlohmann::json fromValue(const PlatformValue& value);
};

}  // namespace harbormind
