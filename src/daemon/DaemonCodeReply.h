#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// An answer of two values, an integer code and a message (bus signature "xs"): the mounting
// methods answer this way so the caller can show what happened.
struct DaemonCodeReply {
    std::int64_t code = 0;
    std::string message;

    bool operator==(const DaemonCodeReply&) const = default;
};

}  // namespace harbormind
