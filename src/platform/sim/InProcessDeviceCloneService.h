#pragma once

#include <memory>
#include <string>

#include "platform/sim/InProcessService.h"
#include "xpc/DMDeviceCloneAppProtocol.h"
#include "xpc/DMDeviceCloneServerProtocol.h"

namespace harbormind {

// The simulated daemon's clone service: the scenario's answers where it has them, otherwise
// the simulated machine's, as the real pair check and copy decide and report them.
class InProcessDeviceCloneService final : public InProcessService, public DMDeviceCloneServerProtocol {
public:
    InProcessDeviceCloneService(std::shared_ptr<InProcessDaemon> daemon, std::string key,
                                std::weak_ptr<DMDeviceCloneAppProtocol> app);

    void clonDeviceWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                       bool isCover, XPCIntReply reply) override;
    void isCloneInterruptDeviceWithStrDevice(const std::string& strDevice, XPCBoolReply reply) override;
    void getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(const std::string& strDestinDevice,
                                                              XPCStringReply reply) override;
    void stopCloneWithFlag(bool flag) override;
    void checkDiskWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                      XPCIntReply reply) override;
    void isCloneRunningWithStrDestinDevice(const std::string& strDestinDevice, XPCBoolReply reply) override;
    // The reasoned requests answer the codes of the two above, with the text under the
    // selector's name followed by "Message".
    void checkClonePairWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                           XPCCodeReply reply) override;
    void startCloneWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                       bool isCover, XPCCodeReply reply) override;

private:
    XPCCodeAnswer pairAnswer(const std::string& destination, const std::string& source) const;
    XPCCodeAnswer startAnswer(const std::string& destination, const std::string& source) const;
    void sendProgress(const std::string& destination, const std::string& source);
    void sendEnd(DMDeviceCloneAppProtocol& app, const std::string& destination);

    std::weak_ptr<DMDeviceCloneAppProtocol> app_;
};

}  // namespace harbormind
