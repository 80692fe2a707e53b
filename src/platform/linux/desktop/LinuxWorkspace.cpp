#include "platform/linux/desktop/LinuxWorkspace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/linux/desktop/LinuxFileManagerItems.h"
#include "platform/linux/processes/LinuxProcessLauncher.h"

namespace harbormind {
namespace {

// A program named with a path exists there; a bare name is looked up in PATH.
bool installed(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return ::access(program.c_str(), X_OK) == 0;
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace

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

bool LinuxWorkspace::sessionHasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

std::optional<std::string> LinuxWorkspace::openingUnavailableReason() {
    if (hasDisplay_ && !hasDisplay_()) {
        return std::string("there is no graphical session to show it in");
    }
    for (const auto& opener : openers_) {
        if (!opener.empty() && installed(opener.front())) {
            return std::nullopt;
        }
    }
    return std::string("no opener (xdg-open or gio) is installed");
}

bool LinuxWorkspace::open(const std::string& target) {
    if (hasDisplay_ && !hasDisplay_()) {
        return false;
    }
    for (const auto& opener : openers_) {
        if (opener.empty()) {
            continue;
        }
        std::vector<std::string> arguments(opener.begin() + 1, opener.end());
        arguments.push_back(target);
        // An opener with no program for the target, or none to reach, ends at once with an
        // error; one that launched the program ends with 0, or keeps running in front of it.
        std::optional<int> status = LinuxProcessLauncher::spawnWatched(opener.front(), arguments, seconds(openerLimitSeconds));
        if (!status || *status == 0) {
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
