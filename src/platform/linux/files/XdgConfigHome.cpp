#include "platform/linux/files/XdgConfigHome.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace harbormind {

std::string XdgConfigHome::path() {
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured && configured[0] == '/') {
        return configured;
    }
    return homeFolder() + "/.config";
}

std::string XdgConfigHome::homeFolder() {
    std::string home;
    if (const char* fromEnvironment = std::getenv("HOME"); fromEnvironment && fromEnvironment[0] == '/') {
        home = fromEnvironment;
    } else if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) {
        home = entry->pw_dir;
    }
    if (home.empty()) {
        home = "/";
    }
    if (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    return home == "/" ? "" : home;
}

}  // namespace harbormind
