#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/LinuxCommandTable.h"
#include "platform/linux/LinuxDeviceRegistry.h"
#include "platform/linux/LinuxDiskArbitration.h"
#include "platform/linux/LinuxDiskWatcher.h"
#include "platform/linux/LinuxMountHelper.h"
#include "platform/linux/StandInLinuxServices.h"

namespace harbormind {

LinuxPlatform::LinuxPlatform() : LinuxPlatform(LinuxPaths{}) {}

LinuxPlatform::LinuxPlatform(LinuxPaths paths) : paths_(std::move(paths)) {
    if (paths_.mountHelper.empty()) {
        paths_.mountHelper = LinuxMountHelper::locate(paths_);
    }
    processes_ = std::make_unique<standin::ProcessLauncherStandIn>();
    scripts_ = std::make_unique<standin::ScriptRunnerStandIn>(*processes_);
    powerSource_ = std::make_unique<standin::PowerSourceStandIn>();
    settings_ = std::make_unique<standin::SettingsStoresStandIn>();
    users_ = std::make_unique<standin::UserDatabaseStandIn>();
    workspace_ = std::make_unique<standin::WorkspaceStandIn>();
    fileSystem_ = std::make_unique<standin::FileSystemInfoStandIn>();

    watcher_ = std::make_shared<LinuxDiskWatcher>(paths_);
    std::weak_ptr<LinuxDiskWatcher> weak = watcher_;
    registry_ = std::make_shared<LinuxDeviceRegistry>(paths_, [weak](const SysfsBlockDevice& device) {
        auto watcher = weak.lock();
        return watcher ? watcher->facts(device) : VolumeFacts{};
    });
    diskArbitration_ = std::make_unique<LinuxDiskArbitration>(watcher_, registry_, *processes_);
    commands_ = std::make_unique<LinuxCommandTable>(paths_.mountHelper);
}

LinuxPlatform::~LinuxPlatform() = default;

DiskArbitration& LinuxPlatform::diskArbitration() {
    return *diskArbitration_;
}

DeviceRegistry& LinuxPlatform::registry() {
    return *registry_;
}

PowerSource& LinuxPlatform::powerSource() {
    return *powerSource_;
}

SettingsStores& LinuxPlatform::settings() {
    return *settings_;
}

UserDatabase& LinuxPlatform::users() {
    return *users_;
}

CommandTable& LinuxPlatform::commands() {
    return *commands_;
}

ProcessLauncher& LinuxPlatform::processes() {
    return *processes_;
}

ScriptRunner& LinuxPlatform::scripts() {
    return *scripts_;
}

Workspace& LinuxPlatform::workspace() {
    return *workspace_;
}

FileSystemInfo& LinuxPlatform::fileSystem() {
    return *fileSystem_;
}

LinuxDiskWatcher& LinuxPlatform::diskWatcher() {
    return *watcher_;
}

}  // namespace harbormind
