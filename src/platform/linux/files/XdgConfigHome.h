#pragma once

#include <string>

namespace harbormind {

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, otherwise
// ~/.config, with the home folder taken from $HOME or, failing that, the user database.
class XdgConfigHome {
public:
    static std::string path();
    // The user's home folder without a trailing slash ("" for "/").
    static std::string homeFolder();
};

}  // namespace harbormind
