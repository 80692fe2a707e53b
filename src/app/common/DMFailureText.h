#pragma once

#include <string>

namespace harbormind {

// Turns the reason a failure came with (from the platform, the mount helper or the helper
// daemon) into what the window says: a sentence, and for a refused authorization what the
// user can do about it.
class DMFailureText {
public:
    enum class Action { mount, unmount, eject, check };

    // The reason as a sentence: a capital first letter and a full stop.
    static std::string sentence(const std::string& reason);
    // The helper daemon refused the caller ("refused: not authorized").
    static bool isNotAuthorized(const std::string& reason);
    // The account may not do this; ask an administrator, where to read more.
    static std::string notAllowed(Action action);
    // What failed and why: notAllowed() for a refused authorization, otherwise the action
    // and the reason. Empty when there is no reason.
    static std::string explain(Action action, const std::string& reason);
    // What a failed mount says: explain() when the reason is known; only without one the
    // code, -1 as a failure to try again later, any other as one to report.
    static std::string mountFailure(int code, const std::string& reason);
};

}  // namespace harbormind
