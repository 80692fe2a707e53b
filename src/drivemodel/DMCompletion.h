#pragma once

#include <functional>
#include <optional>
#include <string>

namespace harbormind {

// The completion of a drive operation: a code (0 success, -1 failure, other codes as the
// operation documents) and an optional message.
using DMCompletion = std::function<void(int code, std::optional<std::string> message)>;

}  // namespace harbormind
