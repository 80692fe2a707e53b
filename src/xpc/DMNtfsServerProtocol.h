#pragma once

#include <string>

#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// The daemon's NTFS service.
class DMNtfsServerProtocol : public virtual XPCInterface {
public:
    virtual void isNtfsKextAllowedWithReply(XPCBoolReply reply) = 0;
    virtual void setIgnoreHibernateFileWithFlag(bool flag) = 0;
    virtual void setEnableDebugLoggingWithFlag(bool flag) = 0;
    virtual void mountAsNTFSNativelyWithBsdName(const std::string& bsdName, XPCIntReply reply) = 0;
    // Of our own: the same mount answered with what was done or why not (the codes of
    // NtfsMountResult, and 13 for a refused caller).
    virtual void mountNTFSVolumeWithBsdName(const std::string& bsdName, XPCCodeReply reply) = 0;
};

}  // namespace harbormind
