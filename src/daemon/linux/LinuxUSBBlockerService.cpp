#include "daemon/linux/LinuxUSBBlockerService.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/linux/desktop/LinuxUSBAgentUnit.h"
#include "platform/linux/files/WholeFileWriter.h"
#include "support/Log.h"

namespace harbormind {
namespace {

constexpr mode_t unitMode = 0644;

// The file at `path` is a plain file holding exactly `contents` with the unit's mode.
bool isInPlace(const std::string& path, const std::string& contents) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & 07777) != unitMode ||
        info.st_uid != ::geteuid()) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::string found((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return found == contents;
}

}  // namespace

std::string LinuxUSBBlockerService::installedAgentProgram() {
    return HARBORMIND_USBAGENT_PATH;
}

LinuxUSBBlockerService::LinuxUSBBlockerService(std::string unitPath, std::string agentProgram)
    : unitPath_(unitPath.empty() ? LinuxUSBAgentUnit::unitPath() : std::move(unitPath)),
      agentProgram_(agentProgram.empty() ? installedAgentProgram() : std::move(agentProgram)) {}

void LinuxUSBBlockerService::addPlistFileWithReply(XPCBoolReply reply) {
    reply(addPlistFile());
}

void LinuxUSBBlockerService::removePlistFileWithReply(XPCBoolReply reply) {
    reply(removePlistFile());
}

bool LinuxUSBBlockerService::addPlistFile() {
    std::string contents = LinuxUSBAgentUnit::contents(agentProgram_);
    // The temporary file is created with the process's umask, then set to 0644 before the
    // rename; whatever stood at the path before (a link included) is replaced, not followed.
    if (!WholeFileWriter::write(unitPath_, contents, unitMode, CreateFolders::Yes)) {
        Log::warning("USB blocker: could not write " + unitPath_);
        return false;
    }
    return isInPlace(unitPath_, contents);
}

bool LinuxUSBBlockerService::removePlistFile() {
    // unlink removes a link itself, never what it points to.
    if (::unlink(unitPath_.c_str()) != 0 && errno != ENOENT) {
        Log::warning("USB blocker: could not remove " + unitPath_ + ": " + std::strerror(errno));
        return false;
    }
    struct stat info {};
    return ::lstat(unitPath_.c_str(), &info) != 0 && errno == ENOENT;
}

}  // namespace harbormind
