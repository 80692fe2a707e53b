#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace harbormind {

// One argument or reply of a daemon method, as the bus carries it (b, x, s, as).
using DaemonValue = std::variant<bool, std::int64_t, std::string, std::vector<std::string>>;
using DaemonReply = std::function<void(DaemonValue)>;

}  // namespace harbormind
