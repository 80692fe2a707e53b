#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformValue.h"
#include "platform/sim/InProcessDaemonBehaviour.h"
#include "platform/sim/InProcessDaemonCall.h"
#include "xpc/InProcessUSBWarden.h"

namespace harbormind {

// The helper daemon simulated inside the process: it answers from a scenario's "daemon"
// object (the format is in docs/scenarios.md), records every request, and keeps the little
// state an unlock or lock changes (the BitLocker status of the device).
class InProcessDaemon {
public:
    explicit InProcessDaemon(PlatformValue::Dictionary answers = {});

    // The behaviour for a service key: the one set here, else the scenario's.
    InProcessDaemonBehaviour behaviour(const std::string& service) const;
    void setBehaviour(InProcessDaemonBehaviour behaviour);
    void setBehaviour(const std::string& service, InProcessDaemonBehaviour behaviour);

    std::vector<InProcessDaemonCall> calls() const;
    void clearCalls();
    void record(InProcessDaemonCall call);

    // The scenario's answer to `method` of `service`, for the argument `key`: the method's
    // value itself, or, when it is an object, its entry for the key (else its "*" entry).
    std::optional<PlatformValue> answer(const std::string& service, const std::string& method,
                                        const std::string& key = {}) const;
    bool boolAnswer(const std::string& service, const std::string& method, const std::string& key = {}) const;
    std::int64_t intAnswer(const std::string& service, const std::string& method, const std::string& key,
                           std::int64_t fallback) const;
    std::string textAnswer(const std::string& service, const std::string& method, const std::string& key = {}) const;

    // How First Aid requests are run: the runner gets the request's arguments and a sender
    // of (line, DMCheckStatus raw value) callbacks, and returns at once. Without one, the
    // scenario's "firstAidOutput" lines for the command line (none when it has none) are
    // streamed from a background queue between a checkStart and a checkEnd.
    using FirstAidSender = std::function<void(const std::string& info, std::int64_t checkStatus)>;
    using FirstAidRunner = std::function<void(const std::vector<std::string>& arguments, FirstAidSender send)>;
    void setFirstAidRunner(FirstAidRunner runner);
    void runFirstAid(const std::vector<std::string>& arguments, FirstAidSender send) const;

    // BitLocker state that requests change.
    std::int64_t bitLockerStatus(const std::string& bsdName) const;
    std::int64_t unlockBitLocker(const std::string& bsdName, const std::string& password);
    bool lockBitLocker(const std::string& bsdName);

    // "USB Warden" as this daemon keeps it.
    InProcessUSBWarden& usbWarden() { return usbWarden_; }

private:
    PlatformValue::Dictionary answers_;
    mutable std::mutex mutex_;
    std::optional<InProcessDaemonBehaviour> behaviour_;
    std::map<std::string, InProcessDaemonBehaviour> serviceBehaviour_;
    std::map<std::string, std::int64_t> bitLockerStatus_;
    std::vector<InProcessDaemonCall> calls_;
    FirstAidRunner firstAidRunner_;
    InProcessUSBWarden usbWarden_;
};

}  // namespace harbormind
