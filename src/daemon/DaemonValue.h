#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "support/CodeResult.h"
#include "daemon/DaemonFileDescriptor.h"

namespace harbormind {

// One argument or reply of a daemon method, as the bus carries it (b, x, s, as, an open file h,
// and the two-value reply xs).
using DaemonValue =
    std::variant<bool, std::int64_t, std::string, std::vector<std::string>, CodeResult, DaemonFileDescriptor>;
using DaemonReply = std::function<void(DaemonValue)>;

}  // namespace harbormind
