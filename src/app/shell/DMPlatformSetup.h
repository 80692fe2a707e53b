#pragma once

#include <string>

namespace harbormind {

struct DMLaunchOptions;

// Makes the platform the options ask for the process's platform, with its way to the
// helper daemon. False, with the reason, when it cannot be set up.
class DMPlatformSetup {
public:
    static bool install(const DMLaunchOptions& options, std::string& error);
};

}  // namespace harbormind
