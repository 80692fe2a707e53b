#include "daemon/linux/LinuxNtfsService.h"

#include <unistd.h>

#include <fstream>

#include "support/Log.h"

namespace harbormind {
namespace {

std::atomic<bool>& ignoreHibernate() {
    static std::atomic<bool> flag{false};
    return flag;
}

bool kernelHasNtfs3(const std::string& procRoot) {
    std::ifstream filesystems(procRoot + "/filesystems");
    std::string line;
    while (std::getline(filesystems, line)) {
        auto tab = line.find_last_of(" \t");
        if (line.substr(tab == std::string::npos ? 0 : tab + 1) == "ntfs3") {
            return true;
        }
    }
    return false;
}

bool ntfs3gInstalled() {
    for (const char* path : {"/usr/bin/ntfs-3g", "/bin/ntfs-3g", "/usr/sbin/ntfs-3g", "/sbin/ntfs-3g"}) {
        if (::access(path, X_OK) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

LinuxNtfsService::LinuxNtfsService(std::string procRoot) : procRoot_(std::move(procRoot)) {}

bool LinuxNtfsService::driverAvailable() const {
    return kernelHasNtfs3(procRoot_) || ntfs3gInstalled();
}

void LinuxNtfsService::isNtfsKextAllowedWithReply(XPCBoolReply reply) {
    reply(driverAvailable());
}

void LinuxNtfsService::setIgnoreHibernateFileWithFlag(bool flag) {
    ignoreHibernate() = flag;
}

bool LinuxNtfsService::ignoreHibernateFile() {
    return ignoreHibernate();
}

void LinuxNtfsService::setEnableDebugLoggingWithFlag(bool flag) {
    Log::setLevel(flag ? LogLevel::Debug : LogLevel::Info);
    Log::info(std::string("debug logging ") + (flag ? "on" : "off"));
}

}  // namespace harbormind
