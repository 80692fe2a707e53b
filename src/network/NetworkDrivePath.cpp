#include "network/NetworkDrivePath.h"

namespace harbormind {

std::string NetworkDrivePath::join(std::string folder, const std::string& name) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder + name;
}

std::string NetworkDrivePath::lastComponent(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace harbormind
