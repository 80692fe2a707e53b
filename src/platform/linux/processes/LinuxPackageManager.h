#pragma once

#include <optional>
#include <string>

#include "platform/PackageManager.h"

namespace harbormind {

class ProcessLauncher;

// Debian's package tools: dpkg-query finds the package that owns the running program, and
// apt-get installs or removes, through the desktop's elevation program (pkexec) unless the
// process is root already. Every value is its own argument; no shell is involved.
class LinuxPackageManager final : public PackageManager {
public:
    enum class RootCheck { Effective, AssumeNotRoot };

    LinuxPackageManager(ProcessLauncher& processes, std::string programPath,
                        std::string elevationProgram = "pkexec", RootCheck rootCheck = RootCheck::Effective)
        : processes_(processes),
          programPath_(std::move(programPath)),
          elevationProgram_(std::move(elevationProgram)),
          rootCheck_(rootCheck) {}

    std::string ntfsDriverPackage() const override { return "ntfs-3g"; }
    std::optional<std::string> applicationPackage() override;
    bool install(const std::string& package) override;
    bool remove(const std::string& package) override;

    // Debian's rule for package names (an architecture qualifier allowed): anything else is
    // refused before a tool sees it.
    static bool isPackageName(const std::string& name);
    // The package named by a line of "dpkg-query --search": "name[:arch][, other]: path".
    static std::optional<std::string> ownerIn(const std::string& searchOutput);

private:
    bool apt(const std::string& verb, const std::string& package);

    ProcessLauncher& processes_;
    const std::string programPath_;
    const std::string elevationProgram_;
    const RootCheck rootCheck_;
};

}  // namespace harbormind
