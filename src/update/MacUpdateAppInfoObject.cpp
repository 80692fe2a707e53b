#include "update/MacUpdateAppInfoObject.h"

#include "update/VersionComparison.h"

namespace harbormind {

MacUpdateAppInfoObject::MacUpdateAppInfoObject(std::string name, std::string icon, std::string version,
                                               std::string product)
    : appName(std::move(name)), appIcon(std::move(icon)), productID(std::move(product)), currentVersion(std::move(version)) {}

bool MacUpdateAppInfoObject::isNewVersionAvailable() const {
    return !latestVersion.empty() && VersionComparison::compare(currentVersion, latestVersion) < 0;
}

}  // namespace harbormind
