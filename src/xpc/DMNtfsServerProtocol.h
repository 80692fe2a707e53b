#pragma once

#include <string>

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
};

}  // namespace harbormind
