#pragma once

#include <optional>
#include <string>

namespace harbormind {

// The desktop: opening folders in the file browser and URLs in their handlers.
class Workspace {
public:
    virtual ~Workspace() = default;
    virtual bool openFolder(const std::string& path) = 0;
    // Shows an existing file or folder in the file browser, selected where the browser can
    // select it; otherwise opens the folder that holds it. False when the entry does not exist
    // or nothing could be opened. May wait for the desktop: call it away from the window.
    virtual bool showItem(const std::string& path) {
        auto slash = path.find_last_of('/');
        return slash != std::string::npos && openFolder(slash == 0 ? std::string("/") : path.substr(0, slash));
    }
    // False when the text is not a URL or nothing handles it.
    virtual bool openURL(const std::string& url) = 0;
    // Why nothing can be opened here at all (no graphical session, no opener installed);
    // none when opening may work.
    virtual std::optional<std::string> openingUnavailableReason() { return std::nullopt; }
    // The address of a settings pane: full-disk access, security.
    virtual std::string fullDiskAccessSettingsURL() = 0;
    virtual std::string securitySettingsURL() = 0;
    // Opens the desktop's settings for notifications; false when it has none that can be opened.
    virtual bool openNotificationSettings() { return false; }
    // The folder whose listing proves full disk access, inside the home folder `home`
    // (ending in "/"). A platform without such a permission names a folder always listable.
    virtual std::string fullDiskAccessProbeFolder(const std::string& home) { return home + "Library/Safari"; }
};

}  // namespace harbormind
