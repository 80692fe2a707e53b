#pragma once

#include "xpc/DMNtfsServerProtocol.h"

namespace harbormind {

// An NTFS service that does nothing: the driver is not allowed and no mount succeeds.
class RefusingNtfsService : public DMNtfsServerProtocol {
public:
    void isNtfsKextAllowedWithReply(XPCBoolReply reply) override { reply(false); }
    void setIgnoreHibernateFileWithFlag(bool) override {}
    void setEnableDebugLoggingWithFlag(bool) override {}
    void mountAsNTFSNativelyWithBsdName(const std::string&, XPCIntReply reply) override { reply(-1); }
    void mountNTFSVolumeWithBsdName(const std::string&, XPCCodeReply reply) override {
        reply({-1, "NTFS volumes cannot be mounted read-write here"});
    }
};

}  // namespace harbormind
