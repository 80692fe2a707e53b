#include "platform/linux/disks/LinuxWholeDiskNames.h"

#include <regex>

namespace harbormind {

std::optional<std::string> LinuxWholeDiskNames::wholeDiskPrefix(const std::string& bsdName) {
    // Disks whose partitions append a bare number.
    static const std::regex lettered("^((?:sd|vd|hd|xvd)[a-z]+)[0-9]*$");
    // Disks whose names end in a number, so partitions append "p" and a number.
    static const std::regex numbered("^((?:nvme[0-9]+n[0-9]+)|(?:mmcblk[0-9]+)|(?:loop[0-9]+)|(?:nbd[0-9]+)|"
                                     "(?:md[0-9]+)|(?:zram[0-9]+))(?:p[0-9]+)?$");
    static const std::regex unpartitioned("^((?:dm-[0-9]+)|(?:sr[0-9]+))$");
    std::smatch match;
    if (std::regex_match(bsdName, match, lettered) || std::regex_match(bsdName, match, numbered) ||
        std::regex_match(bsdName, match, unpartitioned)) {
        return match[1].str();
    }
    return std::nullopt;
}

}  // namespace harbormind
