#include "network/DMNetworkDriveType.h"

namespace harbormind {

std::string networkDriveScheme(std::optional<DMNetworkDriveType> type) {
    switch (type.value_or(DMNetworkDriveType::smb)) {
    case DMNetworkDriveType::smb:
        return "smb";
    case DMNetworkDriveType::afp:
        return "afp";
    case DMNetworkDriveType::nfs:
        return "nfs";
    case DMNetworkDriveType::ftp:
        return "ftp";
    case DMNetworkDriveType::webDAV:
        return "webDAV";
    }
    return "smb";
}

}  // namespace harbormind
