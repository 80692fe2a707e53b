#pragma once

#include "daemon/CheckDiskBackend.h"

namespace harbormind {

// The check-disk service on this machine: runs the checker of the volume's own file system
// through the check-disk engine and streams every line to the caller. Answers true once the
// stream has ended (the application ignores the answer; the stream says how it went).
class LinuxCheckDiskService final : public CheckDiskBackend {
public:
    void firstAid(const FirstAidCommand& command, std::shared_ptr<DMCheckDiskAppProtocol> callbacks,
                  XPCBoolReply reply) override;
    XPCCodeAnswer canRun(const FirstAidCommand& command) override;
};

}  // namespace harbormind
