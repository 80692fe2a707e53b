#pragma once

#include <memory>
#include <string>

namespace harbormind {

class DesktopAppearance;
struct DMLaunchOptions;

// Makes the platform the options ask for the process's platform, with its way to the
// helper daemon. False, with the reason, when it cannot be set up.
class DMPlatformSetup {
public:
    static bool install(const DMLaunchOptions& options, std::string& error);
    // Where the desktop's colour scheme comes from: the desktop portal on the real machine,
    // nowhere on a simulated one.
    static std::unique_ptr<DesktopAppearance> desktopAppearance(const DMLaunchOptions& options);
};

}  // namespace harbormind
