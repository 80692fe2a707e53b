#include "platform/linux/mounting/MountRequests.h"

#include <unistd.h>

#include "platform/linux/mounting/DaemonMountRequests.h"
#include "platform/linux/mounting/RootMountRequests.h"
#include "platform/linux/mounting/UserMediaFolder.h"

namespace harbormind {

std::shared_ptr<MountRequests> MountRequests::forThisProcess(const std::string& mediaRoot) {
    if (::geteuid() == 0) {
        return std::make_shared<RootMountRequests>(mediaRoot.empty() ? UserMediaFolder::defaultRoot
                                                                     : mediaRoot);
    }
    return std::make_shared<DaemonMountRequests>();
}

}  // namespace harbormind
