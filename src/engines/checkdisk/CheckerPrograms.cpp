#include "engines/checkdisk/CheckerPrograms.h"

#include <unistd.h>

#include <array>

#include "engines/checkdisk/CheckerTable.h"

namespace harbormind {

CheckerPrograms CheckerPrograms::installed() {
    return {};
}

void CheckerPrograms::setProgram(CheckerFamily family, std::string path) {
    overrides_[family] = std::move(path);
}

std::optional<std::string> CheckerPrograms::program(CheckerFamily family) const {
    if (auto it = overrides_.find(family); it != overrides_.end()) {
        return it->second;
    }
    static constexpr std::array<const char*, 4> folders{"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/"};
    std::string name = CheckerTable::programName(family);
    for (const char* folder : folders) {
        std::string path = folder + name;
        if (::access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return std::nullopt;
}

}  // namespace harbormind
