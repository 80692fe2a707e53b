#pragma once

#include <string>
#include <vector>

#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// The daemon's check-disk (First Aid) service; output arrives through DMCheckDiskAppProtocol.
class DMCheckDiskServerProtocol : public virtual XPCInterface {
public:
    virtual void firstAidWithArguments(const std::vector<std::string>& arguments, XPCBoolReply reply) = 0;
};

}  // namespace harbormind
