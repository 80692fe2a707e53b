#include "platform/sim/InProcessNtfsService.h"

#include "platform/sim/InProcessMachine.h"

namespace harbormind {

void InProcessNtfsService::isNtfsKextAllowedWithReply(XPCBoolReply reply) {
    if (receive("isNtfsKextAllowedWithReply", {})) {
        reply(boolFor("isNtfsKextAllowedWithReply"));
    }
}

void InProcessNtfsService::setIgnoreHibernateFileWithFlag(bool flag) {
    receive("setIgnoreHibernateFileWithFlag", {flagText(flag)});
}

void InProcessNtfsService::setEnableDebugLoggingWithFlag(bool flag) {
    receive("setEnableDebugLoggingWithFlag", {flagText(flag)});
}

void InProcessNtfsService::mountAsNTFSNativelyWithBsdName(const std::string& bsdName, XPCIntReply reply) {
    if (receive("mountAsNTFSNativelyWithBsdName", {bsdName})) {
        reply(intFor("mountAsNTFSNativelyWithBsdName", bsdName, -1));
    }
}

// The scenario's answer to the kept mount, with its message; without one, a volume the
// real daemon refuses to mount is refused here with the same reason.
void InProcessNtfsService::mountNTFSVolumeWithBsdName(const std::string& bsdName, XPCCodeReply reply) {
    if (!receive("mountNTFSVolumeWithBsdName", {bsdName})) {
        return;
    }
    const std::string kept = "mountAsNTFSNativelyWithBsdName";
    if (daemon_->answer(key_, kept, bsdName) || !InProcessMachine::known()) {
        reply(codeFor(kept, bsdName, -1));
        return;
    }
    const std::string path = "/dev/" + bsdName;
    if (InProcessMachine::volumeKind(bsdName) != "ntfs") {
        reply({-1, path + " holds no NTFS volume"});
    } else if (!InProcessMachine::mountPoints(bsdName).empty()) {
        reply({-1, path + " is mounted already"});
    } else {
        reply({-1, {}});
    }
}

}  // namespace harbormind
