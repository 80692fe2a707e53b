#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace harbormind {

// How an operation ended, as the system passes it between its parts and over the bus (signature
// "xs"): a code, 0 for success and otherwise a failure code the operation's protocol defines,
// and a message, the reason for a failure or what a success has to tell. A result nobody set
// is a failure: only an explicit success reports one.
struct CodeResult {
    static constexpr std::int64_t successCode = 0;
    static constexpr std::int64_t unsetCode = -1;

    std::int64_t code = unsetCode;
    std::string message;

    static CodeResult success(std::string message = {}) { return {successCode, std::move(message)}; }

    bool succeeded() const { return code == successCode; }
    bool operator==(const CodeResult&) const = default;
};

}  // namespace harbormind
