#include "system/support/PolkitAuthority.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "testsupport/OtherDiskMounts.h"
#include "testsupport/PrivateBus.h"
#include "testsupport/WholeFile.h"

namespace harbormind::test {

bool PolkitAuthority::available(std::string& whyNot) {
    if (::access(program, X_OK) != 0) {
        whyNot = std::string("no ") + program + " (Debian's polkitd package; scripts/bootstrap installs it)";
        return false;
    }
    if (::access("/usr/bin/unshare", X_OK) != 0) {
        whyNot = "no /usr/bin/unshare to give polkitd folders of the test's own";
        return false;
    }
    return true;
}

std::unique_ptr<PolkitAuthority> PolkitAuthority::start(const PrivateBus& bus, const std::string& folder,
                                                        const std::string& actionsFolder, const std::string& rules,
                                                        std::string& error) {
    std::unique_ptr<PolkitAuthority> authority(new PolkitAuthority());
    authority->rulesFolder_ = folder + "/polkit-rules.d";
    authority->logFile_ = folder + "/polkitd.log";
    std::filesystem::create_directories(authority->rulesFolder_);
    ::chmod(authority->rulesFolder_.c_str(), 0755);
    const std::string rulesFile = authority->rulesFolder_ + "/" + rulesFileName;
    std::ofstream(rulesFile) << rules;
    ::chmod(rulesFile.c_str(), 0644);
    authority->daemon_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"unshare", "--mount", "--propagation", "private", "--", "sh", "-c",
                                 test::releaseOtherDiskMounts() +
                                     "mount --bind \"$1\" /usr/share/polkit-1/actions && "
                                     "mount --bind \"$2\" /etc/polkit-1/rules.d && exec \"$3\" --no-debug",
                                 "polkitd", actionsFolder, authority->rulesFolder_, program},
        std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus.address()}}, nullptr, authority->logFile_);
    if (!bus.waitForName("org.freedesktop.PolicyKit1")) {
        error = "polkitd did not come up on the test's bus: " + authority->log();
        return nullptr;
    }
    return authority;
}

PolkitAuthority::~PolkitAuthority() {
    if (daemon_) {
        daemon_->signal(SIGTERM);
        daemon_->waitExit(std::chrono::seconds(5));
        daemon_.reset();
    }
    std::error_code ignored;
    std::filesystem::remove(rulesFolder_ + "/" + rulesFileName, ignored);
    std::filesystem::remove(rulesFolder_, ignored);
}

std::string PolkitAuthority::log() const { return readWholeFile(logFile_); }

}  // namespace harbormind::test
