#include "xpc/dbus/DBusLink.h"

#include "support/Dispatch.h"
#include "support/SerialQueue.h"
#include "xpc/dbus/DBusCallGate.h"
#include "xpc/dbus/DBusEventLoop.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {

std::shared_ptr<DBusLink> DBusLink::open(std::string& error) {
    std::shared_ptr<DBusLink> link(new DBusLink());
    try {
        // The system bus, or the one DBUS_SYSTEM_BUS_ADDRESS names (tests use a private one).
        link->connection_ = sdbus::createSystemBusConnection();
    } catch (const sdbus::Error& failure) {
        error = failure.getMessage();
        return nullptr;
    }
    if (!link->startLoop(error)) {
        return nullptr;
    }
    return link;
}

bool DBusLink::startLoop(std::string& error) {
    loop_ = std::make_unique<DBusEventLoop>(*connection_);
    if (!loop_->start()) {
        error = "the system bus does not answer";
        return false;
    }
    return true;
}

DBusLink::~DBusLink() {
    loop_.reset();
    std::lock_guard lock(mutex_);
    proxies_.clear();
    object_.reset();
}

sdbus::IProxy& DBusLink::proxy(const std::string& destination, const std::string& path) {
    std::lock_guard lock(mutex_);
    auto& slot = proxies_[destination + " " + path];
    if (!slot) {
        slot = sdbus::createProxy(*connection_, destination, path);
    }
    return *slot;
}

sdbus::IObject& DBusLink::exportedObject(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (!object_) {
        object_ = sdbus::createObject(*connection_, path);
    }
    return *object_;
}

std::shared_ptr<DispatchQueue> DBusLink::callbackQueue() {
    std::lock_guard lock(mutex_);
    if (!callbackQueue_) {
        callbackQueue_ = SerialQueue::create("daemon callbacks");
    }
    return callbackQueue_;
}

// A question waits at the process's gate for a place, given back when the reply, the bus's
// error or a failure to send ends it. A job that runs as long as its work (a clone, an
// encryption) is sent at once: it would hold a place for hours.
void DBusLink::callAsync(sdbus::IProxy& target, const sdbus::MethodCall& call, sdbus::async_reply_handler handler,
                         std::uint64_t timeout) {
    const bool gated = timeout != DBusTimeout::none;
    auto send = [self = shared_from_this(), &target, call, handler = std::move(handler), timeout, gated]() mutable {
        auto ended = [self, handler, gated](sdbus::MethodReply& reply, const sdbus::Error* failure) mutable {
            if (gated) {
                DBusCallGate::daemonCalls().leave();
            }
            handler(reply, failure);
            releaseLater(std::move(self));
        };
        try {
            target.callMethod(call, ended, timeout);
        } catch (const sdbus::Error& failure) {
            sdbus::MethodReply none;
            ended(none, &failure);
        }
    };
    if (gated) {
        DBusCallGate::daemonCalls().enter(std::move(send));
    } else {
        send();
    }
}

void DBusLink::releaseLater(std::shared_ptr<DBusLink> link) {
    Dispatch::global()->async([link = std::move(link)]() mutable { link.reset(); });
}

}  // namespace harbormind
