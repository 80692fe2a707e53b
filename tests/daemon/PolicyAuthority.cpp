#include "PolicyAuthority.h"

#include <fstream>
#include <regex>
#include <sstream>

#include "daemon/BusCallerCredentials.h"
#include "daemon/PolkitActionId.h"

namespace harbormind::test {
namespace {

using Subject = sdbus::Struct<std::string, std::map<std::string, sdbus::Variant>>;
using Result = sdbus::Struct<bool, bool, std::map<std::string, std::string>>;

std::set<std::string> actionsForActiveSessions() {
    std::ifstream in(std::string(HARBORMIND_TEST_SOURCE_DIR) + "/resources/daemon/com.kestrane.drivemanagerd.policy");
    std::stringstream text;
    text << in.rdbuf();
    const std::string policy = text.str();
    std::set<std::string> actions;
    std::regex action(R"re(<action id="([^"]+)">[\s\S]*?<allow_active>(\w+)</allow_active>)re");
    for (std::sregex_iterator it(policy.begin(), policy.end(), action), end; it != end; ++it) {
        if ((*it)[2] == "yes") {
            actions.insert((*it)[1]);
        }
    }
    return actions;
}

void reply(sdbus::MethodCall& call, bool authorized) {
    auto message = call.createReply();
    message << Result(authorized, false, {});
    message.send();
}

}  // namespace

PolicyAuthority::PolicyAuthority() : forActiveSessions_(actionsForActiveSessions()) {
    connection_ = sdbus::createSystemBusConnection();
    lookups_ = sdbus::createSystemBusConnection();
    object_ = sdbus::createObject(*connection_, "/org/freedesktop/PolicyKit1/Authority");
    object_->registerMethod("org.freedesktop.PolicyKit1.Authority", "CheckAuthorization", "(sa{sv})sa{ss}us",
                            "(bba{ss})", [this](sdbus::MethodCall call) { answer(std::move(call)); });
    object_->finishRegistration();
    loop_ = std::make_unique<DBusEventLoop>(*connection_);
    loop_->start();
    connection_->requestName("org.freedesktop.PolicyKit1");
}

PolicyAuthority::~PolicyAuthority() {
    release();
    loop_.reset();
}

void PolicyAuthority::grant(std::uint32_t uid, DaemonAction action) {
    std::lock_guard lock(mutex_);
    grants_[uid].insert(PolkitActionId::of(action));
}

void PolicyAuthority::hold(std::uint32_t uid) {
    std::lock_guard lock(mutex_);
    holding_.insert(uid);
}

void PolicyAuthority::release() {
    std::vector<sdbus::MethodCall> calls;
    {
        std::lock_guard lock(mutex_);
        holding_.clear();
        calls.swap(held_);
    }
    for (auto& call : calls) {
        try {
            reply(call, false);
        } catch (const sdbus::Error&) {
        }
    }
}

std::size_t PolicyAuthority::held() {
    std::lock_guard lock(mutex_);
    return held_.size();
}

std::vector<std::string> PolicyAuthority::asked() {
    std::lock_guard lock(mutex_);
    return asked_;
}

bool PolicyAuthority::granted(std::uint32_t uid, const std::string& action) {
    auto grants = grants_.find(uid);
    return forActiveSessions_.contains(action) || (grants != grants_.end() && grants->second.contains(action));
}

// Runs on the loop thread; the caller's uid is asked of the bus on a connection of its own.
void PolicyAuthority::answer(sdbus::MethodCall call) {
    Subject subject;
    std::string action;
    call >> subject >> action;
    auto name = std::get<1>(subject).find("name");
    auto caller = name == std::get<1>(subject).end()
                      ? std::nullopt
                      : BusCallerCredentials::of(*lookups_, name->second.get<std::string>());
    std::unique_lock lock(mutex_);
    if (!caller) {
        lock.unlock();
        reply(call, false);
        return;
    }
    asked_.push_back(std::to_string(caller->uid) + " " + action);
    if (holding_.contains(caller->uid)) {
        held_.push_back(std::move(call));
        return;
    }
    bool authorized = granted(caller->uid, action);
    lock.unlock();
    reply(call, authorized);
}

}  // namespace harbormind::test
