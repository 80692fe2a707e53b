#include "platform/Platform.h"

#include "platform/DeviceNaming.h"
#include "platform/FileSystemInfo.h"

#include <cstdlib>
#include <iostream>
#include <mutex>
#include <vector>

namespace harbormind {
namespace {

std::mutex& platformMutex() {
    static auto* mutex = new std::mutex;  // never destroyed, like the platforms themselves
    return *mutex;
}

std::shared_ptr<Platform>& platformSlot() {
    // Never destroyed: background threads may still use the platform while the process exits.
    static auto* slot = new std::shared_ptr<Platform>;
    return *slot;
}

std::vector<std::shared_ptr<Platform>>& retiredPlatforms() {
    // A replaced platform stays alive: background work may still be using it.
    static auto* retired = new std::vector<std::shared_ptr<Platform>>;
    return *retired;
}

}  // namespace

bool Platform::isNtfsDriverInstalled() {
    for (const std::string& path : driverPresencePaths()) {
        if (!fileSystem().exists(path)) {
            return false;
        }
    }
    return true;
}

DeviceNaming& Platform::deviceNaming() {
    static auto* naming = new DeviceNaming;  // never destroyed, like the platforms
    return *naming;
}

Platform& Platform::current() {
    std::lock_guard lock(platformMutex());
    if (!platformSlot()) {
        std::cerr << "harbormind: no platform was set up\n";
        std::abort();
    }
    return *platformSlot();
}

bool Platform::hasCurrent() {
    std::lock_guard lock(platformMutex());
    return static_cast<bool>(platformSlot());
}

void Platform::setCurrent(std::shared_ptr<Platform> platform) {
    std::lock_guard lock(platformMutex());
    if (platformSlot()) {
        retiredPlatforms().push_back(platformSlot());
    }
    platformSlot() = std::move(platform);
}

void Platform::shutDownAll() {
    std::vector<std::shared_ptr<Platform>> platforms;
    {
        std::lock_guard lock(platformMutex());
        platforms = retiredPlatforms();
        platforms.push_back(platformSlot());
    }
    // Outside the lock: a thread that is being waited for may still ask for the platform.
    for (const auto& platform : platforms) {
        if (platform) {
            platform->shutDown();
        }
    }
}

}  // namespace harbormind
