#include "system/support/SystemInstall.h"

#include <unistd.h>

namespace harbormind::test {

std::string SystemInstall::root() { return HARBORMIND_SYSTEM_ROOT; }

std::string SystemInstall::ctl() { return root() + HARBORMIND_INSTALL_BINDIR "/harbormindctl"; }

std::string SystemInstall::daemon() { return root() + HARBORMIND_INSTALL_LIBEXECDIR "/kestrane/drivemanagerd"; }

std::string SystemInstall::mountHelper() { return root() + HARBORMIND_INSTALL_LIBEXECDIR "/harbormind/harbormind-mount"; }

std::string SystemInstall::busPolicy() {
    return root() + HARBORMIND_INSTALL_DATADIR "/dbus-1/system.d/com.Kestrane.drivemanagerd.conf";
}

std::string SystemInstall::polkitActions() { return root() + HARBORMIND_INSTALL_DATADIR "/polkit-1/actions"; }

std::string SystemInstall::daemonConfig() { return root() + HARBORMIND_INSTALL_SYSCONFDIR "/kestrane/drivemanagerd.conf"; }

bool SystemInstall::present(std::string& whyNot) {
    for (const std::string& file : {ctl(), daemon(), mountHelper(), busPolicy(), daemonConfig()}) {
        if (::access(file.c_str(), R_OK) != 0) {
            whyNot = file + " is not installed (build the target system_test_install)";
            return false;
        }
    }
    return true;
}

}  // namespace harbormind::test
