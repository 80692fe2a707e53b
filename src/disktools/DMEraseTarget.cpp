#include "disktools/DMEraseTarget.h"

#include "disktools/DMWholeDisk.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/DMByteCountFormatter.h"

namespace harbormind {
namespace {

DMEraseTarget::Volume volumeOf(const DMLocalDriveObject& drive) {
    return {drive.identifier(), drive.name(), drive.mountPoint()};
}

}  // namespace

std::optional<DMEraseTarget> DMEraseTarget::read(const std::shared_ptr<DMDriveObjectProtocol>& drive) {
    auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
    if (!local) {
        return std::nullopt;
    }
    DMEraseTarget target;
    target.identifier = local->identifier();
    target.name = local->name();
    target.capacity = local->capacity();
    target.wholeDisk = !local->parent();
    if (target.wholeDisk) {
        for (const auto& [identifier, child] : local->children()) {
            if (auto volume = std::dynamic_pointer_cast<DMLocalDriveObject>(child)) {
                target.volumes.push_back(volumeOf(*volume));
            }
        }
    } else {
        target.diskName = DMWholeDisk::of(drive)->name();
        target.volumes.push_back(volumeOf(*local));
    }
    return target;
}

std::string DMEraseTarget::title() const {
    return "“" + name + "” (" + identifier + ", " + DMByteCountFormatter::string(capacity) + ")";
}

std::string DMEraseTarget::contents() const {
    if (volumes.empty()) {
        return "It holds no volume the system can read.";
    }
    std::string text = "It holds ";
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const Volume& volume = volumes[i];
        text += (i == 0 ? "" : i + 1 == volumes.size() ? " and " : ", ") + volume.name + " (" + volume.identifier +
                (volume.mountPoint ? ", mounted at " + *volume.mountPoint : std::string()) + ")";
    }
    return text + ".";
}

std::vector<DMEraseTarget::Volume> DMEraseTarget::mounted() const {
    std::vector<Volume> list;
    for (const auto& volume : volumes) {
        if (volume.mountPoint) {
            list.push_back(volume);
        }
    }
    return list;
}

}  // namespace harbormind
