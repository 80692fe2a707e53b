#pragma once

#include <string>

#include "drivemodel/DMCommandOutput.h"

namespace harbormind {

// Runs a command line through "/bin/sh -c" with the command runner and waits for it. An
// empty line (a command the platform does not have) runs nothing and prints nothing.
class DMCommandLine {
public:
    static DMCommandOutput run(const std::string& commandLine);
};

}  // namespace harbormind
