#include "app/cleaning/CDCleaningServices.h"

#include "cleaning/ClearTools.h"
#include "cleaning/DMFileClearManager.h"
#include "cleaning/DMFileScanManager.h"
#include "platform/Platform.h"

namespace harbormind {

CDCleaningServices CDCleaningServices::current() {
    CDCleaningServices services;
    services.junkManager = &DMFileClearManager::shared();
    services.scanManager = &DMFileScanManager::shared();
    Platform& platform = Platform::current();
    services.workspace = &platform.workspace();
    services.junkTable = [&platform]() -> std::vector<JunkCategory> {
        JunkLocations* locations = platform.junkLocations();
        return locations != nullptr ? locations->categories(ClearTools::getUserPath(platform.users()))
                                    : std::vector<JunkCategory>();
    };
    return services;
}

}  // namespace harbormind
