#include "daemon/linux/LinuxDeviceCloneService.h"

#include "daemon/linux/CloneProgressChannel.h"

namespace harbormind {

LinuxDeviceCloneService::LinuxDeviceCloneService(std::shared_ptr<clone::CloneEngine> engine,
                                                 std::shared_ptr<DMDeviceCloneAppProtocol> callbacks)
    : engine_(std::move(engine)), callbacks_(std::move(callbacks)) {}

// The reports go to the calling application without holding up the copy; an application's
// non-zero answer stops the copy at its next report.
clone::CloneProgressSink LinuxDeviceCloneService::progressSink() const {
    if (!callbacks_) {
        return nullptr;
    }
    auto channel = std::make_shared<CloneProgressChannel>(callbacks_);
    return [channel](const clone::CloneProgress& progress) {
        channel->offer(progress);
        return channel->cancelled() ? clone::CloneReply::cancel : clone::CloneReply::proceed;
    };
}

void LinuxDeviceCloneService::clonDeviceWithStrDestinDevice(const std::string& strDestinDevice,
                                                            const std::string& strSourceDevice, bool isCover,
                                                            XPCIntReply reply) {
    // Every refusal is the one refusal of this request, -1; its reason is in the log.
    auto answer = engine_->startClone(strDestinDevice, strSourceDevice, isCover, progressSink());
    reply(answer.code == 0 ? 0 : -1);
}

void LinuxDeviceCloneService::startCloneWithStrDestinDevice(const std::string& strDestinDevice,
                                                            const std::string& strSourceDevice, bool isCover,
                                                            XPCCodeReply reply) {
    auto answer = engine_->startClone(strDestinDevice, strSourceDevice, isCover, progressSink());
    reply({answer.code, answer.message});
}

void LinuxDeviceCloneService::isCloneRunningWithStrDestinDevice(const std::string& strDestinDevice,
                                                                XPCBoolReply reply) {
    reply(engine_->isCloneRunningOnto(strDestinDevice));
}

void LinuxDeviceCloneService::isCloneInterruptDeviceWithStrDevice(const std::string& strDevice, XPCBoolReply reply) {
    reply(engine_->isCloneInterruptDeviceWithStrDevice(strDevice));
}

void LinuxDeviceCloneService::getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(const std::string& strDestinDevice,
                                                                                   XPCStringReply reply) {
    reply(engine_->getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(strDestinDevice));
}

void LinuxDeviceCloneService::stopCloneWithFlag(bool flag) {
    engine_->stopCloneWithFlag(flag);
}

void LinuxDeviceCloneService::checkDiskWithStrDestinDevice(const std::string& strDestinDevice,
                                                           const std::string& strSourceDevice, XPCIntReply reply) {
    reply(engine_->checkPair(strDestinDevice, strSourceDevice).code);
}

void LinuxDeviceCloneService::checkClonePairWithStrDestinDevice(const std::string& strDestinDevice,
                                                                const std::string& strSourceDevice,
                                                                XPCCodeReply reply) {
    auto answer = engine_->checkPair(strDestinDevice, strSourceDevice);
    reply({answer.code, answer.message});
}

}  // namespace harbormind
