#include "drivemodel/DMApfsWrapper.h"

#include <regex>

#include "drivemodel/DMCommandLine.h"
#include "platform/CommandTable.h"
#include "platform/Platform.h"

namespace harbormind {

int DMApfsWrapper::unlock(const std::string& bsdName, const std::string& password) {
    if (password.empty()) {
        return -1;
    }
    DMCommandOutput output = DMCommandLine::run(Platform::current().commands().unlockVolume(bsdName, password));
    if (output.standardOutput.empty()) {
        return -1;
    }
    bool incorrect = output.standardError && output.standardError->find("incorrect") != std::string::npos;
    return incorrect ? -1 : 0;
}

std::optional<std::string> DMApfsWrapper::wholeDiskName(const std::string& bsdName) {
    static const std::regex pattern("disk[0-9]+");
    std::smatch match;
    if (!std::regex_search(bsdName, match, pattern)) {
        return std::nullopt;
    }
    return match.str();
}

}  // namespace harbormind
