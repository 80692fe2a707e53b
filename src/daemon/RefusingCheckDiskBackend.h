#pragma once

#include "daemon/CheckDiskBackend.h"

namespace harbormind {

// A check-disk backend that runs nothing and answers false.
class RefusingCheckDiskBackend final : public CheckDiskBackend {
public:
    void firstAid(const FirstAidCommand&, std::shared_ptr<DMCheckDiskAppProtocol>, XPCBoolReply reply) override {
        reply(false);
    }
    XPCCodeAnswer canRun(const FirstAidCommand&) override { return {1, "this daemon checks no volumes"}; }
};

}  // namespace harbormind
