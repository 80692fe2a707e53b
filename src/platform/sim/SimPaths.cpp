#include "platform/sim/SimPaths.h"

namespace harbormind {

std::string SimPaths::folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace harbormind
