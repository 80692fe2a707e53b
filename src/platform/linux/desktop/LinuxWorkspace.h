#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Workspace.h"

namespace harbormind {

// Opens folders and URLs with the desktop's opener (xdg-open, else gio open). An opener that
// fails at once (no program handles the target, no display) counts as a failure and the next
// is tried; one still running after `openerLimit` is taken to show the target, and is left
// to run. Without a graphical session nothing is tried. The desktop has no settings panes
// for full-disk access or security, so their addresses are empty.
class LinuxWorkspace final : public Workspace {
public:
    using Opener = std::vector<std::string>;  // program, then its leading arguments

    explicit LinuxWorkspace(std::vector<Opener> openers = {{"xdg-open"}, {"gio", "open"}},
                            std::function<bool()> hasDisplay = sessionHasDisplay)
        : openers_(std::move(openers)), hasDisplay_(std::move(hasDisplay)) {}

    // False when the path is not a folder or no opener could be started.
    bool openFolder(const std::string& path) override;
    // Through the file manager's ShowItems on the session bus, else by opening the folder
    // that holds the entry. False when the entry does not exist.
    bool showItem(const std::string& path) override;
    // False when the text is not a URL (a scheme, ":" and more, no spaces) or no opener
    // could be started.
    bool openURL(const std::string& url) override;
    std::string fullDiskAccessSettingsURL() override { return {}; }
    std::string securitySettingsURL() override { return {}; }
    // The notification page of the running desktop's settings program (XDG_CURRENT_DESKTOP
    // picks it first), else of any other desktop's that is installed.
    bool openNotificationSettings() override;
    // The settings programs tried, in order, for the desktop named `currentDesktop`.
    static std::vector<Opener> notificationSettingsPrograms(const std::string& currentDesktop);
    // Linux has no full-disk-access gate: the home folder itself is the probe, so access is
    // granted wherever the user can list their own home.
    std::string fullDiskAccessProbeFolder(const std::string& home) override { return home; }

    std::optional<std::string> openingUnavailableReason() override;

    static bool isURL(const std::string& text);
    // DISPLAY or WAYLAND_DISPLAY names a display.
    static bool sessionHasDisplay();

    static constexpr double openerLimitSeconds = 3;

private:
    bool open(const std::string& target);

    const std::vector<Opener> openers_;
    const std::function<bool()> hasDisplay_;
};

}  // namespace harbormind
