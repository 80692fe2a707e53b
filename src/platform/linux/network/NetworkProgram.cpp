#include "platform/linux/network/NetworkProgram.h"

#include <stdlib.h>
#include <unistd.h>

#include <sstream>

namespace harbormind {

std::optional<std::string> NetworkProgram::find(const std::string& name) {
    const char* path = ::getenv("PATH");
    std::string folders = path ? path : "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin";
    folders += ":/usr/sbin:/sbin";
    std::istringstream stream(folders);
    std::string folder;
    while (std::getline(stream, folder, ':')) {
        std::string candidate = folder + "/" + name;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

}  // namespace harbormind
