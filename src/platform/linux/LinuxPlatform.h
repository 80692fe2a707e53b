#pragma once

#include <memory>

#include "platform/Platform.h"
#include "platform/linux/LinuxPaths.h"

namespace harbormind {

class LinuxCommandTable;
class LinuxDeviceRegistry;
class LinuxDiskArbitration;
class LinuxDiskWatcher;

// The real machine: disks from sysfs, libblkid, the mount table and kernel events; mounts
// through the mount helper; the other services of the desktop. The default platform of
// every program.
class LinuxPlatform final : public Platform {
public:
    LinuxPlatform();
    explicit LinuxPlatform(LinuxPaths paths);
    ~LinuxPlatform() override;

    std::string name() const override { return "linux"; }

    DiskArbitration& diskArbitration() override;
    DeviceRegistry& registry() override;
    PowerSource& powerSource() override;
    SettingsStores& settings() override;
    UserDatabase& users() override;
    CommandTable& commands() override;
    ProcessLauncher& processes() override;
    ScriptRunner& scripts() override;
    Workspace& workspace() override;
    FileSystemInfo& fileSystem() override;

    LinuxDiskWatcher& diskWatcher();
    const LinuxPaths& paths() const { return paths_; }

private:
    LinuxPaths paths_;
    std::unique_ptr<ProcessLauncher> processes_;
    std::unique_ptr<ScriptRunner> scripts_;
    std::unique_ptr<PowerSource> powerSource_;
    std::unique_ptr<SettingsStores> settings_;
    std::unique_ptr<UserDatabase> users_;
    std::unique_ptr<Workspace> workspace_;
    std::unique_ptr<FileSystemInfo> fileSystem_;
    std::shared_ptr<LinuxDiskWatcher> watcher_;
    std::shared_ptr<LinuxDeviceRegistry> registry_;
    std::unique_ptr<LinuxDiskArbitration> diskArbitration_;
    std::unique_ptr<LinuxCommandTable> commands_;
};

}  // namespace harbormind
