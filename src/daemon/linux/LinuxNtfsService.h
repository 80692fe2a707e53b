#pragma once

#include <atomic>
#include <string>

#include "daemon/RefusingNtfsService.h"

namespace harbormind {

// The NTFS service on Linux. NTFS may be mounted read-write when the kernel has its ntfs3
// driver or ntfs-3g is installed; the debug-logging switch sets the daemon's log level; the
// hibernation-file setting is kept for the mount (mounting itself is not built yet).
class LinuxNtfsService final : public RefusingNtfsService {
public:
    // `procRoot` differs only in tests.
    explicit LinuxNtfsService(std::string procRoot = "/proc");

    void isNtfsKextAllowedWithReply(XPCBoolReply reply) override;
    void setIgnoreHibernateFileWithFlag(bool flag) override;
    void setEnableDebugLoggingWithFlag(bool flag) override;

    static bool ignoreHibernateFile();
    bool driverAvailable() const;

private:
    std::string procRoot_;
};

}  // namespace harbormind
