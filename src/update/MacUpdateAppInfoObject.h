#pragma once

#include <string>

namespace harbormind {

// What one update check knows about the application and what the update service answered.
class MacUpdateAppInfoObject {
public:
    MacUpdateAppInfoObject() = default;
    // initWithAppName:withAppIcon:withCurrentVersion:withProductID:
    MacUpdateAppInfoObject(std::string name, std::string icon, std::string version, std::string product);

    // True when the running version compares lower than the service's (numerically).
    bool isNewVersionAvailable() const;

    std::string appName;
    // The name of the application's icon image.
    std::string appIcon;
    std::string productID;
    std::string currentVersion;
    std::string latestVersion;
    std::string releaseNotes;
    std::string downloadURL;
    bool forceUpdateFlag = false;
};

}  // namespace harbormind
