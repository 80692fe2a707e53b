#include "platform/sim/InProcessService.h"

#include "xpc/DMBitLockerAppProtocol.h"

namespace harbormind {

InProcessService::InProcessService(std::shared_ptr<InProcessDaemon> daemon, std::string key)
    : daemon_(std::move(daemon)), key_(std::move(key)) {}

std::string InProcessService::flagText(bool flag) {
    return flag ? "true" : "false";
}

bool InProcessService::receive(const std::string& method, std::vector<std::string> arguments) {
    daemon_->record({key_, method, std::move(arguments)});
    return daemon_->behaviour(key_) == InProcessDaemonBehaviour::answer;
}

bool InProcessService::boolFor(const std::string& method, const std::string& key) const {
    return daemon_->boolAnswer(key_, method, key);
}

std::int64_t InProcessService::intFor(const std::string& method, const std::string& key, std::int64_t fallback) const {
    return daemon_->intAnswer(key_, method, key, fallback);
}

std::string InProcessService::textFor(const std::string& method, const std::string& key) const {
    return daemon_->textAnswer(key_, method, key);
}

XPCCodeAnswer InProcessService::codeFor(const std::string& method, const std::string& key,
                                        std::int64_t fallback) const {
    return {intFor(method, key, fallback), textFor(method + "Message", key)};
}

void InProcessService::answerBool(const std::string& method, const std::string& bsdname, const XPCBoolReply& reply) {
    if (receive(method, {bsdname})) {
        reply(boolFor(method, bsdname));
    }
}

void InProcessService::answerText(const std::string& method, const std::string& bsdname,
                                  const XPCStringReply& reply) {
    if (receive(method, {bsdname})) {
        reply(textFor(method, bsdname));
    }
}

void InProcessService::answerCode(const std::string& method, std::vector<std::string> arguments,
                                  const std::string& bsdname, std::int64_t fallback, const XPCCodeReply& reply) {
    if (receive(method, std::move(arguments))) {
        reply(codeFor(method, bsdname, fallback));
    }
}

std::vector<InProcessService::ProgressReport> InProcessService::scenarioProgress(const std::string& device) const {
    std::vector<ProgressReport> result;
    auto reports = daemon_->answer(key_, "updateProgressWithStatus", device);
    const PlatformValue::Array* list = reports ? reports->asArray() : nullptr;
    for (const PlatformValue& report : list ? *list : PlatformValue::Array{}) {
        const PlatformValue::Array* fields = report.asArray();
        if (fields && fields->size() == 4) {
            auto field = [&](std::size_t i) { return (*fields)[i].asInteger().value_or(0); };
            result.push_back({field(0), field(1), field(2), field(3)});
        }
    }
    return result;
}

bool InProcessService::sendEncryptionProgress(const std::weak_ptr<XPCInterface>& exported,
                                              const std::string& bsdname) const {
    auto app = std::dynamic_pointer_cast<DMBitLockerAppProtocol>(exported.lock());
    auto reports = scenarioProgress(bsdname);
    if (!app) {
        return reports.empty();
    }
    for (const auto& [status, total, current, error] : reports) {
        std::int64_t answer = DMBitLockerAppProtocol::unanswered;
        app->updateProgressWithStatus(status, total, current, error,
                                      [&answer](std::int64_t value) { answer = value; });
        // The answer to the last report (finished, 4 on the wire) is the error the caller saw.
        if (answer != 0 && status != 4) {
            return false;
        }
    }
    return true;
}

}  // namespace harbormind
