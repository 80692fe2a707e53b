#include "update/MacUpdateServices.h"

#include "BuildConfiguration.h"
#include "platform/Platform.h"
#include "platform/SettingsStores.h"

namespace harbormind {

MacUpdateServices MacUpdateServices::fromPlatform(Platform& platform) {
    MacUpdateServices services;
    services.http = platform.httpClient();
    services.settings = platform.settings().standard();
    services.cacheFolders = platform.cacheFolders();
    services.files = platform.fileStore();
    services.installer = platform.updateInstaller();
    services.workspace = &platform.workspace();
    services.publicKeyHex = BuildConfiguration::updatePublicKey;
    return services;
}

}  // namespace harbormind
