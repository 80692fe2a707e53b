#pragma once

#include <string>
#include <vector>

#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// The daemon's check-disk (First Aid) service; output arrives through DMCheckDiskAppProtocol.
class DMCheckDiskServerProtocol : public virtual XPCInterface {
public:
    virtual void firstAidWithArguments(const std::vector<std::string>& arguments, XPCBoolReply reply) = 0;
    // Of our own: whether the daemon will run this command once its volume is unmounted (0),
    // or why not, asked before anything is unmounted for it. The caller's authorization is
    // decided here as for the run itself.
    virtual void canRunFirstAidWithArguments(const std::vector<std::string>& arguments, XPCCodeReply reply) = 0;
};

}  // namespace harbormind
