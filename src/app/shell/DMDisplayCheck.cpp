#include "app/shell/DMDisplayCheck.h"

#include <algorithm>

namespace harbormind {

std::optional<std::string> DMDisplayCheck::missingDisplay(const Environment& environment,
                                                          const std::vector<std::string>& qtArguments) {
    auto set = [&environment](const char* name) {
        const char* value = environment(name);
        return value && *value;
    };
    bool platformChosen = set("QT_QPA_PLATFORM") ||
                          std::find(qtArguments.begin(), qtArguments.end(), "-platform") != qtArguments.end();
    if (platformChosen || set("DISPLAY") || set("WAYLAND_DISPLAY")) {
        return std::nullopt;
    }
    return "harbormind: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
           "start it in a desktop session, or use harbormindctl on the command line";
}

}  // namespace harbormind
