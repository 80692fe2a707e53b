#pragma once

#include <string>

namespace harbormind {

// The desktop: opening folders in the file browser and URLs in their handlers.
class Workspace {
public:
    virtual ~Workspace() = default;
    virtual bool openFolder(const std::string& path) = 0;
    // False when the text is not a URL or nothing handles it.
    virtual bool openURL(const std::string& url) = 0;
    // The address of a settings pane: full-disk access, security.
    virtual std::string fullDiskAccessSettingsURL() = 0;
    virtual std::string securitySettingsURL() = 0;
    // The folder whose listing proves full disk access, inside the home folder `home`
    // (ending in "/"). A platform without such a permission names a folder always listable.
    virtual std::string fullDiskAccessProbeFolder(const std::string& home) { return home + "Library/Safari"; }
};

}  // namespace harbormind
