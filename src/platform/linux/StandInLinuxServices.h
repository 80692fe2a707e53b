#pragma once

// Temporary stand-ins for the Linux services that land separately (process launcher,
// script runner, power source, user database, file-system facts, workspace).
// LinuxPlatform uses them until the real ones are on the main branch; then this file goes.

#include <map>
#include <memory>
#include <mutex>

#include "platform/FileSystemInfo.h"
#include "platform/PowerSource.h"
#include "platform/ProcessLauncher.h"
#include "platform/ScriptRunner.h"
#include "platform/UserDatabase.h"
#include "platform/Workspace.h"

namespace harbormind::standin {

class ProcessLauncherStandIn final : public ProcessLauncher {
public:
    ProcessResult run(const std::string& launchPath, const std::vector<std::string>& arguments,
                      const std::optional<std::string>& input) override;
};

class ScriptRunnerStandIn final : public ScriptRunner {
public:
    explicit ScriptRunnerStandIn(ProcessLauncher& processes) : processes_(processes) {}
    std::pair<bool, std::optional<std::string>> run(const std::string& commandLine, ScriptPrivilege privilege) override;

private:
    ProcessLauncher& processes_;
};

class PowerSourceStandIn final : public PowerSource {
public:
    bool hasExternalAdapter() override;
};

class UserDatabaseStandIn final : public UserDatabase {
public:
    std::optional<std::string> currentUserHome() override;
    std::optional<std::string> currentUserName() override;
    std::string processHome() override;
    std::optional<std::string> environment(const std::string& name) override;
};

class FileSystemInfoStandIn final : public FileSystemInfo {
public:
    FileSystemSpace space(const std::string& mountPoint) override;
    bool exists(const std::string& path) override;
    bool isReadable(const std::string& path) override;
    bool isWritable(const std::string& path) override;
    bool canListFolder(const std::string& path) override;
};

class WorkspaceStandIn final : public Workspace {
public:
    bool openFolder(const std::string& path) override;
    bool openURL(const std::string& url) override;
    std::string fullDiskAccessSettingsURL() override { return {}; }
    std::string securitySettingsURL() override { return {}; }
};

}  // namespace harbormind::standin
