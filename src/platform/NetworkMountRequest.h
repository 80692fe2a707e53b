#pragma once

#include <string>

namespace harbormind {

// One request to mount a network share: the share's URL (scheme://host[:port]/path), the
// folder to mount it in, and the account. `allowUserInterface` false is the "NoUI" option:
// the mounter must not ask the user anything.
struct NetworkMountRequest {
    std::string url;
    std::string mountDirectory;
    std::string user;
    std::string password;
    bool guest = false;
    bool allowUserInterface = true;
};

}  // namespace harbormind
