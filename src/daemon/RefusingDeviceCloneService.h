#pragma once

#include "xpc/DMDeviceCloneServerProtocol.h"

namespace harbormind {

// A device-clone service that copies nothing: no clone starts, no mark is found, and the
// pair check answers "cannot open the source" (1), saying that device clone is not offered.
class RefusingDeviceCloneService : public DMDeviceCloneServerProtocol {
public:
    void clonDeviceWithStrDestinDevice(const std::string&, const std::string&, bool, XPCIntReply reply) override {
        reply(-1);
    }
    void isCloneInterruptDeviceWithStrDevice(const std::string&, XPCBoolReply reply) override { reply(false); }
    void getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(const std::string&, XPCStringReply reply) override {
        reply({});
    }
    void stopCloneWithFlag(bool) override {}
    void checkDiskWithStrDestinDevice(const std::string&, const std::string&, XPCIntReply reply) override {
        reply(1);
    }
    void checkClonePairWithStrDestinDevice(const std::string&, const std::string&, XPCCodeReply reply) override {
        reply({1, notOffered});
    }
    void startCloneWithStrDestinDevice(const std::string&, const std::string&, bool, XPCCodeReply reply) override {
        reply({-1, notOffered});
    }
    void isCloneRunningWithStrDestinDevice(const std::string&, XPCBoolReply reply) override { reply(false); }

private:
    static constexpr const char* notOffered = "this daemon does not clone devices";
};

}  // namespace harbormind
