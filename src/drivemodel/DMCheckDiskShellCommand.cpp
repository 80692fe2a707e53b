#include "drivemodel/DMCheckDiskShellCommand.h"

#include "drivemodel/DMCheckDiskText.h"

namespace harbormind {
namespace {

std::string filled(std::string format, const std::string& first, const std::string& second = {}) {
    for (const std::string* value : {&first, &second}) {
        auto place = format.find("%@");
        if (place == std::string::npos) {
            break;
        }
        format.replace(place, 2, *value);
    }
    return format;
}

}  // namespace

bool DMCheckDiskShellCommand::isPlainDeviceName(const std::string& bsdName) {
    if (bsdName.empty() || bsdName.size() > 64 || bsdName.front() == '-' || bsdName.front() == '.') {
        return false;
    }
    for (char c : bsdName) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                     c == '-' || c == '.';
        if (!plain) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> DMCheckDiskShellCommand::repairVolume(const std::string& bsdName) const {
    if (!isPlainDeviceName(bsdName)) {
        return std::nullopt;
    }
    return filled(DMCheckDiskText::repairVolumeFormat, bsdName);
}

std::optional<std::string> DMCheckDiskShellCommand::ntfsChecker(const std::string& bsdName,
                                                                bool repair) const {
    if (!isPlainDeviceName(bsdName)) {
        return std::nullopt;
    }
    return filled(repair ? DMCheckDiskText::ntfsRepairFormat : DMCheckDiskText::ntfsCheckFormat,
                  DMCheckDiskText::ntfsCheckerPath, bsdName);
}

}  // namespace harbormind
