#pragma once

#include "daemon/CheckDiskBackend.h"

namespace harbormind {

// A check-disk backend that runs nothing and answers false.
class RefusingCheckDiskBackend final : public CheckDiskBackend {
public:
    void firstAid(const FirstAidCommand&, std::shared_ptr<DMCheckDiskAppProtocol>, XPCBoolReply reply) override {
        reply(false);
    }
};

}  // namespace harbormind
