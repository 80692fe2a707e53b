#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace harbormind {

// Reply blocks of the daemon protocols. A reply may arrive on any thread, at most once.
using XPCBoolReply = std::function<void(bool)>;
using XPCIntReply = std::function<void(std::int64_t)>;
using XPCStringReply = std::function<void(std::string)>;

}  // namespace harbormind
