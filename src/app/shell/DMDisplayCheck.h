#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// Before the window system is started: a window needs a display, and without one Qt would
// end the process with its own abort. Names what is missing and what to do instead.
class DMDisplayCheck {
public:
    using Environment = std::function<const char*(const char* name)>;

    // The one line to print when there is no display to open, else nothing. A platform chosen
    // for Qt (QT_QPA_PLATFORM or "-platform", such as offscreen) needs none.
    static std::optional<std::string> missingDisplay(const Environment& environment,
                                                     const std::vector<std::string>& qtArguments);
};

}  // namespace harbormind
