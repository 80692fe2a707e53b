#include "drivemodel/DMCompletionWait.h"

#include <cmath>

namespace harbormind {
namespace {

std::string noAnswer(const std::string& what, Clock::Duration limit) {
    return "no answer to " + what + " within " + std::to_string(std::lround(toSeconds(limit))) + " s";
}

}  // namespace

DMCompletionWait::DMCompletionWait(std::string what, Clock::Duration limit)
    : what_(std::move(what)),
      limit_(limit),
      reply_(CodeResult{CodeResult::unsetCode, noAnswer(what_, limit)}) {}

DMCompletion DMCompletionWait::completion() const {
    return [reply = reply_.replyHandler()](int code, std::optional<std::string> message) {
        reply(CodeResult{code, message.value_or("")});
    };
}

CodeResult DMCompletionWait::wait() const {
    return reply_.wait(limit_, what_);
}

}  // namespace harbormind
