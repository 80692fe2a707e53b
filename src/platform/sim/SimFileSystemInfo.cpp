#include "platform/sim/SimFileSystemInfo.h"

#include "platform/DiskDescriptionKey.h"
#include "platform/sim/SimMachine.h"

namespace harbormind {
namespace {

std::string normalized(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace

SimFileSystemInfo::SimFileSystemInfo(const std::map<std::string, SimPathInfo>& paths, SimMachine& machine)
    : machine_(machine) {
    for (const auto& [path, pathInfo] : paths) {
        paths_[normalized(path)] = pathInfo;
    }
}

SimPathInfo SimFileSystemInfo::info(const std::string& path) {
    const std::string key = normalized(path);
    std::optional<SimPathInfo> named;
    {
        std::lock_guard lock(mutex_);
        if (auto it = paths_.find(key); it != paths_.end()) {
            named = it->second;
        }
    }
    auto bsdName = machine_.diskMountedAt(key);
    // A named path with space figures is a file system: it is there only while mounted.
    if (named && (!(named->totalBytes || named->freeBytes) || bsdName)) {
        return *named;
    }
    SimPathInfo derived;
    if (!bsdName) {
        derived.exists = derived.readable = derived.writable = derived.listable = false;
        return derived;
    }
    if (auto description = machine_.description(*bsdName, false)) {
        derived.totalBytes = description->integer(DiskDescriptionKey::mediaSize);
    }
    return derived;
}

FileSystemSpace SimFileSystemInfo::space(const std::string& mountPoint) {
    SimPathInfo found = info(mountPoint);
    if (!found.exists) {
        return {};
    }
    return {found.totalBytes, found.freeBytes};
}

bool SimFileSystemInfo::isReadable(const std::string& path) {
    SimPathInfo found = info(path);
    return found.exists && found.readable;
}

bool SimFileSystemInfo::isWritable(const std::string& path) {
    SimPathInfo found = info(path);
    return found.exists && found.writable;
}

bool SimFileSystemInfo::canListFolder(const std::string& path) {
    SimPathInfo found = info(path);
    return found.exists && found.listable;
}

void SimFileSystemInfo::setPath(const std::string& path, SimPathInfo pathInfo) {
    std::lock_guard lock(mutex_);
    paths_[normalized(path)] = pathInfo;
}

}  // namespace harbormind
