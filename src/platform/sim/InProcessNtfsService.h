#pragma once

#include <memory>
#include <string>

#include "platform/sim/InProcessService.h"
#include "xpc/DMNtfsServerProtocol.h"

namespace harbormind {

// The simulated daemon's NTFS service, answered from the scenario; without an answer for
// the kept mount, the simulated machine decides it as the real daemon would.
class InProcessNtfsService final : public InProcessService, public DMNtfsServerProtocol {
public:
    using InProcessService::InProcessService;

    void isNtfsKextAllowedWithReply(XPCBoolReply reply) override;
    void setIgnoreHibernateFileWithFlag(bool flag) override;
    void setEnableDebugLoggingWithFlag(bool flag) override;
    void mountAsNTFSNativelyWithBsdName(const std::string& bsdName, XPCIntReply reply) override;
    void mountNTFSVolumeWithBsdName(const std::string& bsdName, XPCCodeReply reply) override;
};

}  // namespace harbormind
