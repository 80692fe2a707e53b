#pragma once

#include <sys/types.h>

#include <string>

#include "daemon/CallerIdentity.h"
#include "daemon/linux/NtfsMounter.h"
#include "xpc/DMNtfsServerProtocol.h"

namespace harbormind {

// Where the NTFS service looks and mounts; differs from the defaults only in tests.
struct NtfsServicePaths {
    std::string procRoot = "/proc";
    std::string mediaRoot = "/media";
};

// The NTFS service on Linux, for one call of one caller. NTFS may be mounted read-write when
// ntfs-3g is installed or the kernel has its ntfs3 driver. A mount is made for the calling
// user, at <media root>/<user>/<label or UUID>, with the files the user's; whether a
// hibernation file is removed is each user's own setting. The debug-logging switch sets the
// daemon's log level.
class LinuxNtfsService final : public DMNtfsServerProtocol {
public:
    LinuxNtfsService(CallerIdentity caller, NtfsServicePaths paths = {});

    void isNtfsKextAllowedWithReply(XPCBoolReply reply) override;
    void setIgnoreHibernateFileWithFlag(bool flag) override;
    void setEnableDebugLoggingWithFlag(bool flag) override;
    void mountAsNTFSNativelyWithBsdName(const std::string& bsdName, XPCIntReply reply) override;
    void mountNTFSVolumeWithBsdName(const std::string& bsdName, XPCCodeReply reply) override;

    // The caller's hibernation setting (false until set).
    static bool ignoreHibernateFile(uid_t uid);
    bool driverAvailable() const;

private:
    XPCCodeAnswer mount(const std::string& devicePath) const;

    CallerIdentity caller_;
    NtfsServicePaths paths_;
    NtfsMounter mounter_;
};

}  // namespace harbormind
