#pragma once

#include <functional>
#include <optional>
#include <string>

namespace harbormind {

// How a drive action ends: 0 success, -1 failure (the local manager's busy code for a volume in
// use); the message is empty except for a failed mount, where it is the system's reason.
using DMActionCompletion = std::function<void(int code, std::optional<std::string> error)>;

// Tells `completion`, when there is one, that the action ended with `code` and no reason.
inline void finishAction(const DMActionCompletion& completion, int code) {
    if (completion) {
        completion(code, std::nullopt);
    }
}

}  // namespace harbormind
