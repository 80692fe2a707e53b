#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCRemoteObject.h"

namespace harbormind {

// The client of the daemon's NTFS service (requests only, nothing exported).
class DMNtfsWrapper {
public:
    static std::shared_ptr<DMNtfsWrapper> shared();

    XPCRemoteObject& ntfsXPCObj();

    bool isNtfsKextAllowed();
    // 0 when mounted; -1 when no answer came.
    std::int64_t mountAsNTFSNativelyWithBsdName(const std::string& bsdName);
    // The same mount with what the daemon said: where it went, or why not. -1 with no
    // message when no answer came.
    XPCCodeAnswer mountNTFSVolumeWithBsdName(const std::string& bsdName);
    // One-way: nothing is waited for.
    void setIgnoreHibernateFileWithFlag(bool flag);
    void setEnableDebugLoggingWithFlag(bool flag);

private:
    std::mutex mutex_;
    std::unique_ptr<XPCRemoteObject> ntfsXPCObj_;
};

}  // namespace harbormind
