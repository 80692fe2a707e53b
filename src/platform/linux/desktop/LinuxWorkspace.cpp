#include "platform/linux/desktop/LinuxWorkspace.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/linux/desktop/LinuxFileManagerItems.h"
#include "platform/linux/processes/LinuxProcessLauncher.h"

namespace harbormind {

bool LinuxWorkspace::isURL(const std::string& text) {
    auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size() ||
        std::isalpha(static_cast<unsigned char>(text[0])) == 0) {
        return false;
    }
    for (std::size_t i = 1; i < colon; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c) == 0 && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0 || c == '\0'; });
}

bool LinuxWorkspace::open(const std::string& target) {
    for (const auto& opener : openers_) {
        if (opener.empty()) {
            continue;
        }
        std::vector<std::string> arguments(opener.begin() + 1, opener.end());
        arguments.push_back(target);
        if (LinuxProcessLauncher::spawnDetached(opener.front(), arguments)) {
            return true;
        }
    }
    return false;
}

bool LinuxWorkspace::openFolder(const std::string& path) {
    struct stat facts {};
    if (path.empty() || ::stat(path.c_str(), &facts) != 0 || !S_ISDIR(facts.st_mode)) {
        return false;
    }
    // Not every opener understands "--"; a relative path that would read as an option is
    // written so that it cannot.
    return open(path.front() == '-' ? "./" + path : path);
}

bool LinuxWorkspace::showItem(const std::string& path) {
    struct stat facts {};
    if (path.empty() || path.front() != '/' || ::lstat(path.c_str(), &facts) != 0) {
        return false;
    }
    if (LinuxFileManagerItems::showItems(path)) {
        return true;
    }
    auto slash = path.find_last_of('/');
    return openFolder(slash == 0 ? std::string("/") : path.substr(0, slash));
}

bool LinuxWorkspace::openURL(const std::string& url) {
    return isURL(url) && open(url);
}

std::vector<LinuxWorkspace::Opener> LinuxWorkspace::notificationSettingsPrograms(const std::string& currentDesktop) {
    struct Desktop {
        const char* name;
        std::vector<Opener> programs;
    };
    const std::vector<Desktop> desktops{
        {"GNOME", {{"gnome-control-center", "notifications"}}},
        {"KDE", {{"systemsettings", "kcm_notifications"}, {"kcmshell6", "kcm_notifications"},
                 {"kcmshell5", "kcm_notifications"}}},
        {"XFCE", {{"xfce4-notifyd-config"}}},
        {"X-Cinnamon", {{"cinnamon-settings", "notifications"}}},
        {"MATE", {{"mate-notification-properties"}}},
        {"Budgie", {{"budgie-control-center", "notifications"}}},
    };
    // XDG_CURRENT_DESKTOP is a colon-separated list, such as "ubuntu:GNOME".
    auto runs = [&currentDesktop](const std::string& name) {
        std::string list = ":" + currentDesktop + ":";
        return list.find(":" + name + ":") != std::string::npos;
    };
    std::vector<Opener> first;
    std::vector<Opener> rest;
    for (const Desktop& desktop : desktops) {
        auto& into = runs(desktop.name) ? first : rest;
        into.insert(into.end(), desktop.programs.begin(), desktop.programs.end());
    }
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

bool LinuxWorkspace::openNotificationSettings() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    for (const Opener& program : notificationSettingsPrograms(desktop != nullptr ? desktop : "")) {
        std::vector<std::string> arguments(program.begin() + 1, program.end());
        if (LinuxProcessLauncher::spawnDetached(program.front(), arguments)) {
            return true;
        }
    }
    return false;
}

}  // namespace harbormind
