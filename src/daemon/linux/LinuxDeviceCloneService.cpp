#include "daemon/linux/LinuxDeviceCloneService.h"

#include <atomic>

#include "support/Log.h"

namespace harbormind {

LinuxDeviceCloneService::LinuxDeviceCloneService(std::shared_ptr<clone::CloneEngine> engine,
                                                 std::shared_ptr<DMDeviceCloneAppProtocol> callbacks)
    : engine_(std::move(engine)), callbacks_(std::move(callbacks)) {}

void LinuxDeviceCloneService::clonDeviceWithStrDestinDevice(const std::string& strDestinDevice,
                                                            const std::string& strSourceDevice, bool isCover,
                                                            XPCIntReply reply) {
    auto callbacks = callbacks_;
    // The application's answer to a report arrives later; a non-zero answer cancels the copy
    // at the next report.
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    auto sink = [callbacks, cancelled](const clone::CloneProgress& progress) {
        if (progress.unreadableBytes > 0 && progress.status == DMProgressStatus::finished) {
            Log::warning("clone: " + std::to_string(progress.unreadableBytes) + " unreadable bytes written as zeros");
        }
        if (callbacks) {
            callbacks->updateProgressWithStatus(static_cast<std::int64_t>(progress.status),
                                                static_cast<std::int64_t>(progress.total),
                                                static_cast<std::int64_t>(progress.current),
                                                static_cast<std::int64_t>(progress.error),
                                                [cancelled](std::int64_t answer) {
                                                    if (answer != 0) {
                                                        *cancelled = true;
                                                    }
                                                });
        }
        return cancelled->load() ? clone::CloneReply::cancel : clone::CloneReply::proceed;
    };
    // The engine's reason (a pair check code, or a clone already running) is in the log; the
    // service answers every refusal with its one refusal, -1.
    std::int64_t code = engine_->clonDeviceWithStrDestinDevice(strDestinDevice, strSourceDevice, isCover, sink);
    reply(code == 0 ? 0 : -1);
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
    reply(engine_->checkDiskWithStrDestinDevice(strDestinDevice, strSourceDevice));
}

}  // namespace harbormind
