#include "platform/sim/InProcessDaemon.h"

#include "support/Clock.h"
#include "support/Dispatch.h"
#include "xpc/DMCheckStatus.h"

namespace harbormind {
namespace {

constexpr std::int64_t statusLocked = 16;
constexpr std::int64_t statusUnlocked = 17;
constexpr std::int64_t statusInvalid = 18;

std::optional<InProcessDaemonBehaviour> behaviourNamed(const std::optional<std::string>& name) {
    if (name == "fail") {
        return InProcessDaemonBehaviour::failConnection;
    }
    if (name == "silent") {
        return InProcessDaemonBehaviour::neverAnswer;
    }
    if (name == "answer") {
        return InProcessDaemonBehaviour::answer;
    }
    return std::nullopt;
}

}  // namespace

InProcessDaemon::InProcessDaemon(PlatformValue::Dictionary answers) : answers_(std::move(answers)) {
    // A scenario's Warden: "usbBlocker": {"warden": {"on": true, "mode": 2, "password": "pw"}}.
    const PlatformValue::Dictionary* service = nullptr;
    if (auto found = answers_.find("usbBlocker"); found != answers_.end()) {
        service = found->second.asDictionary();
    }
    auto warden = service ? service->find("warden") : PlatformValue::Dictionary::const_iterator();
    if (service && warden != service->end() && warden->second.asDictionary()) {
        const auto& fields = *warden->second.asDictionary();
        auto field = [&fields](const char* name) -> const PlatformValue* {
            auto found = fields.find(name);
            return found == fields.end() ? nullptr : &found->second;
        };
        bool on = field("on") && field("on")->asBool().value_or(false);
        int mode = field("mode") ? static_cast<int>(field("mode")->asInteger().value_or(1)) : 1;
        std::optional<std::string> password = field("password") ? field("password")->asText() : std::nullopt;
        usbWarden_.set(on, mode, password);
    }
}

InProcessDaemonBehaviour InProcessDaemon::behaviour(const std::string& service) const {
    {
        std::lock_guard lock(mutex_);
        if (auto it = serviceBehaviour_.find(service); it != serviceBehaviour_.end()) {
            return it->second;
        }
        if (behaviour_) {
            return *behaviour_;
        }
    }
    if (auto it = answers_.find(service); it != answers_.end()) {
        if (const auto* entries = it->second.asDictionary()) {
            if (auto found = entries->find("connection"); found != entries->end()) {
                if (auto named = behaviourNamed(found->second.asText())) {
                    return *named;
                }
            }
        }
    }
    if (auto it = answers_.find("connection"); it != answers_.end()) {
        if (auto named = behaviourNamed(it->second.asText())) {
            return *named;
        }
    }
    return InProcessDaemonBehaviour::answer;
}

void InProcessDaemon::setBehaviour(InProcessDaemonBehaviour behaviour) {
    std::lock_guard lock(mutex_);
    behaviour_ = behaviour;
    serviceBehaviour_.clear();
}

void InProcessDaemon::setBehaviour(const std::string& service, InProcessDaemonBehaviour behaviour) {
    std::lock_guard lock(mutex_);
    serviceBehaviour_[service] = behaviour;
}

std::vector<InProcessDaemonCall> InProcessDaemon::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void InProcessDaemon::clearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

void InProcessDaemon::record(InProcessDaemonCall call) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    // Whoever waits on the clock for a call to arrive looks again.
    Clock::current().notifyAll();
}

std::optional<PlatformValue> InProcessDaemon::answer(const std::string& service, const std::string& method,
                                                     const std::string& key) const {
    auto serviceIt = answers_.find(service);
    if (serviceIt == answers_.end() || !serviceIt->second.asDictionary()) {
        return std::nullopt;
    }
    const auto& methods = *serviceIt->second.asDictionary();
    auto methodIt = methods.find(method);
    if (methodIt == methods.end()) {
        return std::nullopt;
    }
    const PlatformValue& value = methodIt->second;
    const auto* byKey = value.asDictionary();
    if (!byKey) {
        return value;
    }
    if (auto it = byKey->find(key); it != byKey->end()) {
        return it->second;
    }
    if (auto it = byKey->find("*"); it != byKey->end()) {
        return it->second;
    }
    return std::nullopt;
}

bool InProcessDaemon::boolAnswer(const std::string& service, const std::string& method, const std::string& key) const {
    auto value = answer(service, method, key);
    return value && value->asBool().value_or(false);
}

std::int64_t InProcessDaemon::intAnswer(const std::string& service, const std::string& method, const std::string& key,
                                        std::int64_t fallback) const {
    auto value = answer(service, method, key);
    return value ? value->asInteger().value_or(fallback) : fallback;
}

std::string InProcessDaemon::textAnswer(const std::string& service, const std::string& method,
                                        const std::string& key) const {
    auto value = answer(service, method, key);
    return value ? value->asText().value_or("") : "";
}

std::int64_t InProcessDaemon::bitLockerStatus(const std::string& bsdName) const {
    {
        std::lock_guard lock(mutex_);
        if (auto it = bitLockerStatus_.find(bsdName); it != bitLockerStatus_.end()) {
            return it->second;
        }
    }
    return intAnswer("bitlocker", "bitLockerDriveStatusWithBsdname", bsdName, statusInvalid);
}

std::int64_t InProcessDaemon::unlockBitLocker(const std::string& bsdName, const std::string& password) {
    auto value = answer("bitlocker", "unlockBitLockerDriveWithBsdname", bsdName);
    if (!value) {
        return -1;
    }
    std::int64_t result = -1;
    if (auto fixed = value->asInteger()) {
        result = *fixed;
    } else if (const auto* rule = value->asDictionary()) {
        auto expected = rule->find("password");
        bool matches = expected != rule->end() && expected->second.asText() == password;
        auto wrong = rule->find("wrongPasswordResult");
        result = matches ? 0 : (wrong != rule->end() ? wrong->second.asInteger().value_or(-1) : -1);
    }
    if (result == 0) {
        std::lock_guard lock(mutex_);
        bitLockerStatus_[bsdName] = statusUnlocked;
    }
    return result;
}

bool InProcessDaemon::lockBitLocker(const std::string& bsdName) {
    bool locked = boolAnswer("bitlocker", "lockBitLockerDriveWithBsdname", bsdName);
    if (locked) {
        std::lock_guard lock(mutex_);
        bitLockerStatus_[bsdName] = statusLocked;
    }
    return locked;
}

void InProcessDaemon::setFirstAidRunner(FirstAidRunner runner) {
    std::lock_guard lock(mutex_);
    firstAidRunner_ = std::move(runner);
}

void InProcessDaemon::runFirstAid(const std::vector<std::string>& arguments, FirstAidSender send) const {
    FirstAidRunner runner;
    {
        std::lock_guard lock(mutex_);
        runner = firstAidRunner_;
    }
    if (runner) {
        runner(arguments, std::move(send));
        return;
    }
    auto output = answer("checkDisk", "firstAidOutput", arguments.empty() ? std::string() : arguments.back());
    std::vector<std::string> lines;
    if (output && output->asArray()) {
        for (const PlatformValue& line : *output->asArray()) {
            lines.push_back(line.asText().value_or("") + "\n");
        }
    }
    // As the real daemon's stream: what it checks, the checker's lines, then the verdict as a
    // last line and as the end.
    auto verdict = answer("checkDisk", "firstAidVerdict", arguments.empty() ? std::string() : arguments.back());
    std::string words = verdict && verdict->asText() ? *verdict->asText() : "No errors found";
    Dispatch::global()->async([lines = std::move(lines), words, send = std::move(send)] {
        send("Checking the volume", static_cast<std::int64_t>(DMCheckStatus::checkStart));
        for (const std::string& line : lines) {
            send(line, static_cast<std::int64_t>(DMCheckStatus::checkRuning));
        }
        send(words + "\n", static_cast<std::int64_t>(DMCheckStatus::checkRuning));
        send(words, static_cast<std::int64_t>(DMCheckStatus::checkEnd));
    });
}

}  // namespace harbormind
