#pragma once

#include <string>

namespace harbormind::test {

// The programs and files as `cmake --install` puts them on a system, installed by the build
// into a folder of its own (DESTDIR) as scripts/run and the package install them.
class SystemInstall {
public:
    // The folder that stands for "/".
    static std::string root();
    static std::string ctl();
    static std::string daemon();
    static std::string mountHelper();
    static std::string busPolicy();
    static std::string polkitActions();
    static std::string daemonConfig();
    // Whether the install is there to test.
    static bool present(std::string& whyNot);
};

}  // namespace harbormind::test
