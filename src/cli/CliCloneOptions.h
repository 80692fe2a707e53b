#pragma once

#include <string>

namespace harbormind {

// `clone SOURCE DEST [--restart|--resume] [--yes]`, as given.
struct CliCloneOptions {
    std::string source;
    std::string destination;
    bool restart = false;
    bool resume = false;
    bool yes = false;
    // Through the daemon even as root (as every other user clones).
    bool throughDaemon = false;
    std::string stateFolder = "/var/lib/kestrane/clone";
};

}  // namespace harbormind
