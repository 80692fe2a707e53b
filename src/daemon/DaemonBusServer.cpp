#include "daemon/DaemonBusServer.h"

#include <mutex>

#include "daemon/BusAppCallbacks.h"
#include "daemon/BusCallerCredentials.h"
#include "daemon/DaemonMethodTable.h"
#include "daemon/DaemonVersionObject.h"
#include "support/Log.h"
#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusEventLoop.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {
namespace {

const std::vector<std::string>& serviceNames() {
    static const std::vector<std::string> names(XPCServiceName::all.begin(), XPCServiceName::all.end());
    return names;
}

std::vector<DaemonValue> readArguments(const std::string& signature, sdbus::MethodCall& call) {
    std::vector<DaemonValue> arguments;
    // The table's signatures are b, x, s, h and as; "as" is one argument.
    for (std::size_t i = 0; i < signature.size(); ++i) {
        char type = signature[i];
        if (type == 'b') {
            bool value = false;
            call >> value;
            arguments.emplace_back(value);
        } else if (type == 'x') {
            std::int64_t value = 0;
            call >> value;
            arguments.emplace_back(value);
        } else if (type == 's') {
            std::string value;
            call >> value;
            arguments.emplace_back(std::move(value));
        } else if (type == 'h') {
            sdbus::UnixFd value;
            call >> value;
            arguments.emplace_back(DaemonFileDescriptor(std::move(value)));
        } else if (type == 'a') {
            ++i;
            std::vector<std::string> value;
            call >> value;
            arguments.emplace_back(std::move(value));
        }
    }
    return arguments;
}

// Sends the one reply of a call; later attempts are dropped.
class OneReply {
public:
    explicit OneReply(sdbus::MethodCall call) : call_(std::move(call)) {}
    void send(const DaemonValue& value) {
        std::lock_guard lock(mutex_);
        if (sent_) {
            return;
        }
        sent_ = true;
        try {
            auto reply = call_.createReply();
            std::visit(
                [&reply](const auto& item) {
                    using Item = std::decay_t<decltype(item)>;
                    if constexpr (std::is_same_v<Item, CodeResult>) {
                        reply << item.code << item.message;
                    } else if constexpr (std::is_same_v<Item, DaemonFileDescriptor>) {
                        // No method answers with a file.
                    } else {
                        reply << item;
                    }
                },
                value);
            reply.send();
        } catch (const sdbus::Error& failure) {
            Log::info("reply not sent: " + failure.getMessage());
        }
    }

private:
    std::mutex mutex_;
    sdbus::MethodCall call_;
    bool sent_ = false;
};

// The answer of a refused call: the method's default; one that carries a message says why
// (the reason never holds a secret).
DaemonValue refusalAnswer(const DaemonMethod& method, const std::string& reason) {
    DaemonValue answer = *method.defaultAnswer;
    if (auto* coded = std::get_if<CodeResult>(&answer)) {
        coded->message = "refused: " + reason;
    }
    return answer;
}

std::string describe(const CallerIdentity& caller) {
    return "uid " + std::to_string(caller.uid) + " (pid " + std::to_string(caller.pid) + ")";
}

}  // namespace

DaemonBusServer::DaemonBusServer(std::unique_ptr<sdbus::IConnection> connection,
                                 std::shared_ptr<DaemonBackend> backend, std::shared_ptr<DaemonGuard> guard,
                                 std::string version, std::function<void()> onBusLost)
    : connection_(std::move(connection)), backend_(std::move(backend)), guard_(std::move(guard)),
      version_(std::move(version)), onBusLost_(std::move(onBusLost)) {}

DaemonBusServer::~DaemonBusServer() {
    // Jobs use this server (and its loop, for their callbacks) until they end; a job that
    // hangs past the limit is logged. Calls still arriving meanwhile are refused.
    closing_ = true;
    if (!jobs_.waitIdle(seconds(10))) {
        Log::error("drivemanagerd: jobs still running while the bus server ends");
    }
    stop();
}

bool DaemonBusServer::start(std::string& error) {
    try {
        for (const auto& name : serviceNames()) {
            registerService(name);
        }
        auto daemon = sdbus::createObject(*connection_, DBusNames::daemonObjectPath);
        versionObject_ = std::make_unique<DaemonVersionObject>(*daemon, version_);
        daemon->finishRegistration();
        objects_.push_back(std::move(daemon));
        busProxy_ = sdbus::createProxy(*connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus");
        loop_ = std::make_unique<DBusEventLoop>(*connection_, onBusLost_);
        if (!loop_->start()) {
            error = "the bus does not answer";
            return false;
        }
        for (const auto& name : serviceNames()) {
            connection_->requestName(name);
        }
    } catch (const sdbus::Error& failure) {
        error = failure.getMessage();
        return false;
    }
    return true;
}

void DaemonBusServer::stop() {
    loop_.reset();
    std::vector<std::weak_ptr<BusAppCallbacks>> callbacks;
    {
        std::lock_guard lock(callbacksMutex_);
        callbacks.swap(callbacks_);
    }
    for (const auto& weak : callbacks) {
        if (auto alive = weak.lock()) {
            alive->abandon();
        }
    }
}

std::shared_ptr<BusAppCallbacks> DaemonBusServer::callbacksFor(const std::string& busName,
                                                               const std::string& serviceName) {
    auto callbacks = std::make_shared<BusAppCallbacks>(*connection_, busName, serviceName);
    std::lock_guard lock(callbacksMutex_);
    std::erase_if(callbacks_, [](const std::weak_ptr<BusAppCallbacks>& weak) { return weak.expired(); });
    callbacks_.push_back(callbacks);
    return callbacks;
}

void DaemonBusServer::registerService(const std::string& serviceName) {
    auto object = sdbus::createObject(*connection_, DBusNames::objectPath(serviceName));
    for (const auto& method : DaemonMethodTable::all()) {
        if (method.serviceName != serviceName) {
            continue;
        }
        object->registerMethod(DBusNames::interfaceName(serviceName), method.name, method.input, method.output,
                               [this, &method](sdbus::MethodCall call) { receive(method, std::move(call)); });
    }
    object->finishRegistration();
    objects_.push_back(std::move(object));
}

// Runs on the loop thread: read the arguments (the bus has checked their types), refuse at once
// arguments that cannot be the method's (so no call waits, nor holds a job, with a huge
// string), and ask the bus who calls without waiting for the answer.
void DaemonBusServer::receive(const DaemonMethod& method, sdbus::MethodCall call) {
    std::vector<DaemonValue> arguments;
    try {
        arguments = readArguments(method.input, call);
    } catch (const sdbus::Error& failure) {
        call.createErrorReply(sdbus::Error("org.freedesktop.DBus.Error.InvalidArgs", failure.getMessage())).send();
        return;
    }
    const std::string sender = call.getSender();
    if (auto problem = DaemonGuard::formProblem(method, arguments); !problem.empty()) {
        refuseNow(method, call, sender, problem);
        return;
    }
    try {
        busProxy_->callMethod(
            BusCallerCredentials::question(*busProxy_, sender),
            [this, &method, call, arguments, sender](sdbus::MethodReply& reply, const sdbus::Error* failure) {
                auto caller = failure ? std::nullopt : BusCallerCredentials::fromReply(sender, reply);
                admit(method, call, arguments, caller);
            },
            DBusTimeout::busQuery);
    } catch (const sdbus::Error&) {
        refuseNow(method, call, sender, "the bus does not know the caller");
    }
}

// Runs on the loop thread once the bus said who calls: the call gets a job of its own unless
// its caller, or every caller together, has too many running.
void DaemonBusServer::admit(const DaemonMethod& method, const sdbus::MethodCall& call,
                            std::vector<DaemonValue> arguments, const std::optional<CallerIdentity>& caller) {
    if (!caller) {
        refuseNow(method, call, call.getSender(), "the bus does not know the caller");
        return;
    }
    if (closing_) {
        refuseNow(method, call, describe(*caller), "the daemon is ending");
        return;
    }
    auto started = jobs_.start(caller->uid, [this, &method, call, arguments = std::move(arguments),
                                             identity = *caller]() mutable {
        handle(method, call, identity, std::move(arguments));
        acknowledge(method, call);
    });
    if (started != DaemonJobs::Start::started) {
        refuseNow(method, call, describe(*caller),
                  started == DaemonJobs::Start::callerBusy ? "too many calls at once from this user"
                                                           : "too many calls at once");
    }
}

void DaemonBusServer::refuseNow(const DaemonMethod& method, const sdbus::MethodCall& call, const std::string& who,
                                const std::string& reason) {
    Log::warning("refused " + method.name + " from " + who + ": " + reason);
    acknowledge(method, call);
    if (method.defaultAnswer) {
        OneReply(call).send(refusalAnswer(method, reason));
    }
}

// A method without a reply is acknowledged once handled, when its caller asked for that.
void DaemonBusServer::acknowledge(const DaemonMethod& method, const sdbus::MethodCall& call) {
    if (!method.replies() && !call.doesntExpectReply()) {
        try {
            call.createReply().send();
        } catch (const sdbus::Error&) {
        }
    }
}

void DaemonBusServer::handle(const DaemonMethod& method, const sdbus::MethodCall& call, const CallerIdentity& caller,
                             std::vector<DaemonValue> arguments) {
    auto reply = std::make_shared<OneReply>(call);
    const std::optional<std::string> callerBusName = caller.busName;
    auto refuse = [&](const std::string& who, const std::string& reason) {
        Log::warning("refused " + method.name + " from " + who + ": " + reason);
        if (!method.defaultAnswer) {
            return;
        }
        if (method.refusalNotice && callerBusName && DaemonMethodTable::hasCallbacks(method.serviceName)) {
            try {
                method.refusalNotice(
                    std::make_shared<BusAppCallbacks>(*connection_, *callerBusName, method.serviceName), reason);
            } catch (const std::exception& failure) {
                Log::warning("the refusal of " + method.name + " could not be explained: " + failure.what());
            }
        }
        reply->send(refusalAnswer(method, reason));
    };
    const std::string who = describe(caller);
    DaemonGuardDecision decision = guard_->check(method, caller, std::move(arguments));
    if (!decision.allowed) {
        refuse(who, decision.reason);
        return;
    }
    Log::info(method.name + " from " + who);
    DaemonCallContext context;
    if (DaemonMethodTable::hasCallbacks(method.serviceName)) {
        context.callbacks = callbacksFor(caller.busName, method.serviceName);
    }
    context.firstAid = std::move(decision.firstAid);
    context.caller = caller;
    context.authorizedFor = [guard = guard_, identity = caller](DaemonAction action) {
        return guard->authorizes(identity, action);
    };
    try {
        method.invoke(*backend_, context, decision.arguments, [reply](DaemonValue value) { reply->send(value); });
    } catch (const std::exception& failure) {
        refuse(who, std::string("the backend failed: ") + failure.what());
    }
}

}  // namespace harbormind
