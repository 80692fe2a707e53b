#pragma once

#include "platform/UpdateInstaller.h"

namespace harbormind {

// Opens the package and its signature with the user's own rights and hands both open files to
// the daemon's update service, which copies, checks and installs the package as root.
class LinuxUpdateInstaller final : public UpdateInstaller {
public:
    Answer install(const std::string& packagePath, const std::string& signaturePath) override;
};

}  // namespace harbormind
