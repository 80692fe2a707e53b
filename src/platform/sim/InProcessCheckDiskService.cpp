#include "platform/sim/InProcessCheckDiskService.h"

#include "platform/sim/InProcessMachine.h"
#include "xpc/DMCheckDiskAppProtocol.h"

namespace harbormind {
namespace {

std::string lastArgument(const std::vector<std::string>& arguments) {
    return arguments.empty() ? std::string() : arguments.back();
}

}  // namespace

InProcessCheckDiskService::InProcessCheckDiskService(std::shared_ptr<InProcessDaemon> daemon, std::string key,
                                                     std::weak_ptr<XPCInterface> exported)
    : InProcessService(std::move(daemon), std::move(key)), exported_(std::move(exported)) {}

void InProcessCheckDiskService::canRunFirstAidWithArguments(const std::vector<std::string>& arguments,
                                                            XPCCodeReply reply) {
    std::string key = lastArgument(arguments);
    if (receive("canRunFirstAidWithArguments", arguments)) {
        reply(codeFor("canRunFirstAidWithArguments", key, 0));
    }
}

void InProcessCheckDiskService::firstAidWithArguments(const std::vector<std::string>& arguments,
                                                      XPCBoolReply reply) {
    std::string key = lastArgument(arguments);
    if (!receive("firstAidWithArguments", arguments)) {
        return;
    }
    // Accepted unless the scenario says otherwise or, as the real daemon refuses any
    // device in use, the volume is mounted; as the daemon's, a refused command streams nothing.
    bool accepted = daemon_->answer(key_, "firstAidWithArguments", key)
                        ? boolFor("firstAidWithArguments", key)
                        : InProcessMachine::mountPoints(deviceOf(key)).empty();
    reply(accepted);
    if (!accepted) {
        return;
    }
    daemon_->runFirstAid(arguments, [exported = exported_](const std::string& info, std::int64_t checkStatus) {
        if (auto app = std::dynamic_pointer_cast<DMCheckDiskAppProtocol>(exported.lock())) {
            app->updateUIWithChekcInfo(info, checkStatus);
        }
    });
}

std::string InProcessCheckDiskService::deviceOf(const std::string& commandLine) {
    std::string last;
    std::size_t start = 0;
    while (start < commandLine.size()) {
        std::size_t end = commandLine.find(' ', start);
        std::string word = commandLine.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (word.rfind("/dev/", 0) == 0) {
            return word;
        }
        if (!word.empty()) {
            last = word;
        }
        start = end == std::string::npos ? commandLine.size() : end + 1;
    }
    return last;
}

}  // namespace harbormind
