#include "xpc/dbus/DBusNames.h"

#include <algorithm>

namespace harbormind {

std::string DBusNames::objectPath(const std::string& serviceName) {
    std::string path = "/" + serviceName;
    std::replace(path.begin(), path.end(), '.', '/');
    return path;
}

}  // namespace harbormind
