#include "platform/sim/InProcessDeviceCloneService.h"

#include "platform/sim/InProcessClonePairCheck.h"
#include "platform/sim/InProcessMachine.h"

namespace harbormind {
namespace {

// Progress statuses on the wire: a copy running, and one that ended.
constexpr std::int64_t statusRunning = 3;
constexpr std::int64_t statusFinished = 4;

}  // namespace

InProcessDeviceCloneService::InProcessDeviceCloneService(std::shared_ptr<InProcessDaemon> daemon, std::string key,
                                                         std::weak_ptr<DMDeviceCloneAppProtocol> app)
    : InProcessService(std::move(daemon), std::move(key)), app_(std::move(app)) {}

void InProcessDeviceCloneService::clonDeviceWithStrDestinDevice(const std::string& strDestinDevice,
                                                                const std::string& strSourceDevice, bool isCover,
                                                                XPCIntReply reply) {
    if (receive("clonDeviceWithStrDestinDevice", {strDestinDevice, strSourceDevice, flagText(isCover)})) {
        std::int64_t code = startAnswer(strDestinDevice, strSourceDevice).code;
        reply(code == 0 ? 0 : -1);
        if (code == 0) {
            sendProgress(strDestinDevice, strSourceDevice);
        }
    }
}

void InProcessDeviceCloneService::isCloneInterruptDeviceWithStrDevice(const std::string& strDevice,
                                                                      XPCBoolReply reply) {
    answerBool("isCloneInterruptDeviceWithStrDevice", strDevice, reply);
}

void InProcessDeviceCloneService::getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(
    const std::string& strDestinDevice, XPCStringReply reply) {
    answerText("getCloneInterruptSourceDeviceUUIDWithStrDestinDevice", strDestinDevice, reply);
}

void InProcessDeviceCloneService::stopCloneWithFlag(bool flag) {
    receive("stopCloneWithFlag", {flagText(flag)});
}

void InProcessDeviceCloneService::checkDiskWithStrDestinDevice(const std::string& strDestinDevice,
                                                               const std::string& strSourceDevice,
                                                               XPCIntReply reply) {
    if (receive("checkDiskWithStrDestinDevice", {strDestinDevice, strSourceDevice})) {
        reply(pairAnswer(strDestinDevice, strSourceDevice).code);
    }
}

void InProcessDeviceCloneService::isCloneRunningWithStrDestinDevice(const std::string& strDestinDevice,
                                                                    XPCBoolReply reply) {
    answerBool("isCloneRunningWithStrDestinDevice", strDestinDevice, reply);
}

void InProcessDeviceCloneService::checkClonePairWithStrDestinDevice(const std::string& strDestinDevice,
                                                                    const std::string& strSourceDevice,
                                                                    XPCCodeReply reply) {
    if (receive("checkClonePairWithStrDestinDevice", {strDestinDevice, strSourceDevice})) {
        reply(pairAnswer(strDestinDevice, strSourceDevice));
    }
}

void InProcessDeviceCloneService::startCloneWithStrDestinDevice(const std::string& strDestinDevice,
                                                                const std::string& strSourceDevice, bool isCover,
                                                                XPCCodeReply reply) {
    if (receive("startCloneWithStrDestinDevice", {strDestinDevice, strSourceDevice, flagText(isCover)})) {
        XPCCodeAnswer answer = startAnswer(strDestinDevice, strSourceDevice);
        bool started = answer.code == 0;
        reply(std::move(answer));
        if (started) {
            sendProgress(strDestinDevice, strSourceDevice);
        }
    }
}

// The scenario's answer when it has one; otherwise the machine's, as the real pair check
// decides it.
XPCCodeAnswer InProcessDeviceCloneService::pairAnswer(const std::string& destination, const std::string& source) const {
    if (daemon_->answer(key_, "checkDiskWithStrDestinDevice", destination)) {
        return codeFor("checkDiskWithStrDestinDevice", destination, 0);
    }
    return InProcessClonePairCheck::check(destination, source);
}

XPCCodeAnswer InProcessDeviceCloneService::startAnswer(const std::string& destination,
                                                       const std::string& source) const {
    if (daemon_->answer(key_, "clonDeviceWithStrDestinDevice", destination)) {
        return codeFor("clonDeviceWithStrDestinDevice", destination, 0);
    }
    return pairAnswer(destination, source);
}

// The scenario's progress reports for this destination, or a copy of the whole source as
// the real engine reports it (running, then finished with every byte); the end of the
// clone (its "cloneEndedWithUnreadableBytes" entry, [bytes, reason]) goes just before the last.
void InProcessDeviceCloneService::sendProgress(const std::string& destination, const std::string& source) {
    auto app = app_.lock();
    auto reports = scenarioProgress(destination);
    if (reports.empty() && !daemon_->answer(key_, "updateProgressWithStatus", destination) &&
        InProcessMachine::known()) {
        const std::int64_t total = InProcessMachine::size(source);
        reports = {{statusRunning, total, 0, 0}, {statusFinished, total, total, 0}};
    }
    for (std::size_t i = 0; app && i < reports.size(); ++i) {
        if (i + 1 == reports.size()) {
            sendEnd(*app, destination);
        }
        const auto& [status, total, current, error] = reports[i];
        app->updateProgressWithStatus(status, total, current, error, [](std::int64_t) {});
    }
}

void InProcessDeviceCloneService::sendEnd(DMDeviceCloneAppProtocol& app, const std::string& destination) {
    auto end = daemon_->answer(key_, "cloneEndedWithUnreadableBytes", destination);
    const PlatformValue::Array* fields = end ? end->asArray() : nullptr;
    if (fields && fields->size() == 2) {
        app.cloneEndedWithUnreadableBytes((*fields)[0].asInteger().value_or(0), (*fields)[1].asText().value_or(""));
    }
}

}  // namespace harbormind
