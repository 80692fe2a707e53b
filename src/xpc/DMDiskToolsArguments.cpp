#include "xpc/DMDiskToolsArguments.h"

#include "xpc/DMDiskToolsServerProtocol.h"
#include "xpc/DMVolumeLabelRules.h"

namespace harbormind {
namespace {

// 8 EiB less a margin: no start plus size can overflow past it.
constexpr std::int64_t largestDiskBytes = std::int64_t{1} << 62;

}  // namespace

std::optional<DMNewVolume> DMDiskToolsArguments::newVolume(const std::string& fileSystem, const std::string& label,
                                                           XPCCodeAnswer& refusal) {
    auto kind = DMEraseFileSystems::fromName(fileSystem);
    if (!kind) {
        refusal = {DMDiskToolsServerProtocol::invalid, "unknown file system \"" + fileSystem + "\""};
        return std::nullopt;
    }
    auto checked = DMVolumeLabelRules::check(*kind, label);
    if (!checked.accepted) {
        refusal = {DMDiskToolsServerProtocol::invalid, checked.reason};
        return std::nullopt;
    }
    return DMNewVolume{*kind, checked.label};
}

std::optional<XPCCodeAnswer> DMDiskToolsArguments::spaceProblem(std::int64_t startBytes, std::int64_t sizeBytes) {
    if (startBytes < 0 || sizeBytes < partitionAlignment || startBytes > largestDiskBytes ||
        sizeBytes > largestDiskBytes) {
        return XPCCodeAnswer{DMDiskToolsServerProtocol::invalid, "a partition takes at least 1 MiB of the disk"};
    }
    if (startBytes % partitionAlignment != 0 || sizeBytes % partitionAlignment != 0) {
        return XPCCodeAnswer{DMDiskToolsServerProtocol::invalid, "a partition starts and ends on a whole MiB"};
    }
    return std::nullopt;
}

}  // namespace harbormind
