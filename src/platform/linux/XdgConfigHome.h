#pragma once

#include <string>

namespace harbormind {

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, otherwise
// ~/.config, with the home folder taken from $HOME or, failing that, the user database.
class XdgConfigHome {
public:
    static std::string path();
};

}  // namespace harbormind
