#pragma once

#include <functional>
#include <memory>
#include <string>

#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCConnection.h"
#include "xpc/dbus/DBusErrorText.h"
#include "xpc/dbus/DBusLink.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {

// What the proxies of every daemon service share: a request is a method call on the
// service's object; its reply reaches the caller's reply block, a bus error its error handler
// (which releases a waiting caller with its default answer).
class DBusServiceProxy : public virtual XPCInterface {
protected:
    DBusServiceProxy(std::shared_ptr<DBusLink> link, std::string serviceName, XPCConnection::ErrorHandler onError)
        : link_(std::move(link)), serviceName_(std::move(serviceName)), onError_(std::move(onError)) {}

    std::shared_ptr<DispatchQueue> callbackQueue() { return link_->callbackQueue(); }

    template <typename T, typename... Args>
    void ask(const char* method, std::function<void(T)> reply, const Args&... args) {
        askWithin<T>(DBusTimeout::answer, method, std::move(reply), args...);
    }

    // For a request answered only when its job ends.
    template <typename T, typename... Args>
    void askUntilDone(const char* method, std::function<void(T)> reply, const Args&... args) {
        askWithin<T>(DBusTimeout::none, method, std::move(reply), args...);
    }

    // A request answered with a code and a message ("xs"); `untilDone` for one answered
    // only when its job ends.
    template <typename... Args>
    void askCode(const char* method, bool untilDone, XPCCodeReply reply, const Args&... args) {
        send(method, untilDone ? DBusTimeout::none : DBusTimeout::answer,
             [reply = std::move(reply), onError = onError_](sdbus::MethodReply& answer) {
                 XPCCodeAnswer value;
                 try {
                     answer >> value.code >> value.message;
                 } catch (const sdbus::Error& failure) {
                     fail(onError, failure.getName(), failure.getMessage());
                     return;
                 }
                 if (reply) {
                     reply(std::move(value));
                 }
             },
             args...);
    }

    // A request whose caller waits for nothing. The daemon still acknowledges it, which keeps
    // this connection open until the request has left (closing at once could drop it).
    template <typename... Args>
    void tell(const char* method, const Args&... args) {
        send(method, DBusTimeout::answer, [](sdbus::MethodReply&) {}, args...);
    }

private:
    template <typename T, typename... Args>
    void askWithin(std::uint64_t timeout, const char* method, std::function<void(T)> reply, const Args&... args) {
        send(method, timeout, [reply = std::move(reply), onError = onError_](sdbus::MethodReply& answer) {
            T value{};
            try {
                answer >> value;
            } catch (const sdbus::Error& failure) {
                fail(onError, failure.getName(), failure.getMessage());
                return;
            }
            if (reply) {
                reply(std::move(value));
            }
        }, args...);
    }

    template <typename... Args>
    void send(const char* method, std::uint64_t timeout, std::function<void(sdbus::MethodReply&)> onReply,
              const Args&... args) {
        try {
            sdbus::IProxy& target = link_->proxy(serviceName_, DBusNames::objectPath(serviceName_));
            sdbus::MethodCall call = target.createMethodCall(DBusNames::interfaceName(serviceName_), method);
            ((call << args), ...);
            link_->callAsync(
                target, call,
                [onReply = std::move(onReply), onError = onError_](sdbus::MethodReply& answer,
                                                                   const sdbus::Error* failure) {
                    if (failure) {
                        fail(onError, failure->getName(), failure->getMessage());
                    } else {
                        onReply(answer);
                    }
                },
                timeout);
        } catch (const sdbus::Error& failure) {
            fail(onError_, failure.getName(), failure.getMessage());
        }
    }

    static void fail(const XPCConnection::ErrorHandler& onError, const std::string& name, const std::string& message) {
        if (onError) {
            onError(DBusErrorText::describe(name, message));
        }
    }

    std::shared_ptr<DBusLink> link_;
    std::string serviceName_;
    XPCConnection::ErrorHandler onError_;
};

}  // namespace harbormind
