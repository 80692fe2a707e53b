#include "platform/sim/InProcessMachine.h"

#include "platform/DeviceRegistry.h"
#include "platform/DiskArbitration.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/Platform.h"
#include "support/DeviceName.h"

namespace harbormind {
namespace {

std::shared_ptr<DiskArbitrationSession> session() {
    return Platform::hasCurrent() ? Platform::current().diskArbitration().createSession() : nullptr;
}

std::optional<DiskDescription> describe(DiskArbitrationSession& disks, const std::string& name) {
    auto disk = disks.diskFromBSDName(name);
    return disk ? disks.copyDescription(*disk) : std::nullopt;
}

// The BSD names of the registry entries below `entry` (a whole disk's partitions and volumes).
void namesBelow(DeviceRegistry& registry, RegistryEntryId entry, std::vector<std::string>& names, int depth = 0) {
    if (depth > 8) {
        return;
    }
    for (RegistryEntryId child : registry.childEntries(entry)) {
        if (auto name = registry.property(child, "BSD Name"); name && name->asText()) {
            names.push_back(*name->asText());
        }
        namesBelow(registry, child, names, depth + 1);
    }
}

}  // namespace

bool InProcessMachine::known() { return Platform::hasCurrent(); }

std::string InProcessMachine::nameOf(const std::string& device) {
    // The daemon still takes the raw form from older callers; no simulated name starts with 'r'.
    auto name = DeviceName::parseAcceptingRaw(device);
    return name ? name->name() : device;
}

bool InProcessMachine::exists(const std::string& device) {
    auto disks = session();
    return disks && disks->diskFromBSDName(nameOf(device)).has_value();
}

std::int64_t InProcessMachine::size(const std::string& device) {
    auto disks = session();
    auto description = disks ? describe(*disks, nameOf(device)) : std::nullopt;
    return description ? description->integer(DiskDescriptionKey::mediaSize).value_or(0) : 0;
}

std::string InProcessMachine::volumeKind(const std::string& device) {
    auto disks = session();
    auto description = disks ? describe(*disks, nameOf(device)) : std::nullopt;
    auto kind = description ? description->text(DiskDescriptionKey::volumeKind) : std::nullopt;
    return kind.value_or("");
}

std::vector<std::string> InProcessMachine::mountPoints(const std::string& device) {
    auto disks = session();
    if (!disks) {
        return {};
    }
    const std::string name = nameOf(device);
    std::vector<std::string> names{name};
    if (auto disk = disks->diskFromBSDName(name)) {
        if (auto media = disks->copyIOMedia(*disk)) {
            namesBelow(Platform::current().registry(), *media, names);
        }
    }
    std::vector<std::string> points;
    for (const std::string& each : names) {
        auto description = describe(*disks, each);
        if (auto point = description ? description->path(DiskDescriptionKey::volumePath) : std::nullopt) {
            points.push_back(*point);
        }
    }
    return points;
}

}  // namespace harbormind
