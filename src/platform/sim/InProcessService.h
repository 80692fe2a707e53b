#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/InProcessDaemon.h"
#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// What every service of the simulated daemon shares: each request is recorded, and answered
// from the scenario unless the scenario says the service never answers.
class InProcessService : public virtual XPCInterface {
public:
    InProcessService(std::shared_ptr<InProcessDaemon> daemon, std::string key);

protected:
    // A progress report on the wire: [status, total, current, error].
    using ProgressReport = std::array<std::int64_t, 4>;

    static std::string flagText(bool flag);

    // Records the request; true when the daemon is to answer it.
    bool receive(const std::string& method, std::vector<std::string> arguments);
    bool boolFor(const std::string& method, const std::string& key = {}) const;
    std::int64_t intFor(const std::string& method, const std::string& key, std::int64_t fallback) const;
    std::string textFor(const std::string& method, const std::string& key = {}) const;
    // A code answer: the method's number, with the message under "<method>Message".
    XPCCodeAnswer codeFor(const std::string& method, const std::string& key, std::int64_t fallback) const;

    // A request about one device answered straight from the scenario.
    void answerBool(const std::string& method, const std::string& bsdname, const XPCBoolReply& reply);
    void answerText(const std::string& method, const std::string& bsdname, const XPCStringReply& reply);
    void answerCode(const std::string& method, std::vector<std::string> arguments, const std::string& bsdname,
                    std::int64_t fallback, const XPCCodeReply& reply);

    // The scenario's progress reports for a device; a report without its four fields is skipped.
    std::vector<ProgressReport> scenarioProgress(const std::string& device) const;
    // The scenario's progress reports, sent on the caller's thread while the request runs, as
    // the daemon's job does; a report answered non-zero (the user cancelled) ends the job, and
    // then the answer is false.
    bool sendEncryptionProgress(const std::weak_ptr<XPCInterface>& exported, const std::string& bsdname) const;

    std::shared_ptr<InProcessDaemon> daemon_;
    std::string key_;
};

}  // namespace harbormind
