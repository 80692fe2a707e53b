#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace harbormind {

// An answer of a code and a message saying what happened or why not (bus signature "xs").
struct XPCCodeAnswer {
    std::int64_t code = -1;
    std::string message;
};

using XPCCodeReply = std::function<void(XPCCodeAnswer)>;

}  // namespace harbormind
