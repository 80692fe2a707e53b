#include "cleaning/DriveClearTarget.h"

#include "platform/DeviceNaming.h"
#include "platform/DirectoryWalker.h"

namespace harbormind {
namespace {

// Folders that hold the running system wherever a desktop keeps them, refused even when the
// platform's own list of protected mount points forgets one.
constexpr const char* systemFolders[] = {"/", "/boot", "/boot/efi", "/usr", "/home", "/var", "/etc"};

std::string parentOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

bool sameMount(const EntryStat& a, const EntryStat& b) {
    if (a.mountId != 0 && b.mountId != 0) {
        return a.mountId == b.mountId;
    }
    return a.device == b.device;
}

}  // namespace

std::string DriveClearTarget::normalised(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

DriveClearTarget::Verdict DriveClearTarget::check(const std::string& path,
                                                  const std::optional<std::string>& driveMountPoint,
                                                  const std::string& home, const DeviceNaming& naming,
                                                  DirectoryWalker& walker) {
    const std::string target = normalised(path);
    if (target.empty() || target.front() != '/' || !driveMountPoint || normalised(*driveMountPoint) != target) {
        return Verdict::notTheDrivesMountPoint;
    }
    for (const char* folder : systemFolders) {
        if (target == folder) {
            return Verdict::systemVolume;
        }
    }
    if (naming.isProtectedMountPoint(target)) {
        return Verdict::systemVolume;
    }
    auto self = walker.statPath(target);
    auto parent = walker.statPath(parentOf(target));
    // The folder must be a real folder that begins a mount of its own.
    if (!self || self->kind != EntryKind::Directory || !parent || sameMount(*self, *parent)) {
        return Verdict::notTheDrivesMountPoint;
    }
    if (!home.empty()) {
        auto homeStat = walker.statPath(normalised(home));
        if (!homeStat || sameMount(*self, *homeStat)) {
            return Verdict::homeVolume;
        }
    }
    return Verdict::allowed;
}

std::string DriveClearTarget::describe(Verdict verdict) {
    switch (verdict) {
    case Verdict::allowed:
        return "allowed";
    case Verdict::notTheDrivesMountPoint:
        return "the folder is not the mount point of the chosen drive";
    case Verdict::systemVolume:
        return "the volume holds the running system and is never cleared";
    case Verdict::homeVolume:
        return "the volume holds the home folder and is never cleared";
    }
    return {};
}

}  // namespace harbormind
