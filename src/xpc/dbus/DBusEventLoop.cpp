#include "xpc/dbus/DBusEventLoop.h"

#include "support/Log.h"
#include "support/ReplyWait.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {

DBusEventLoop::DBusEventLoop(sdbus::IConnection& connection, std::function<void()> onEnd)
    : connection_(connection), onEnd_(std::move(onEnd)) {}

DBusEventLoop::~DBusEventLoop() {
    stop();
}

bool DBusEventLoop::start() {
    thread_ = std::thread([this] {
        try {
            connection_.enterEventLoop();
        } catch (const sdbus::Error& failure) {
            Log::info("bus connection ended: " + failure.getMessage());
            ended_ = true;
            if (onEnd_) {
                onEnd_();
            }
        }
    });
    auto bus = sdbus::createProxy(connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus");
    ReplyWait<bool> started(false);
    auto answered = started.replyHandler();
    // GetId is open to every caller under the system bus's default policy.
    bus->callMethod(bus->createMethodCall("org.freedesktop.DBus", "GetId"),
                    [answered](sdbus::MethodReply&, const sdbus::Error* failure) { answered(failure == nullptr); },
                    DBusTimeout::busQuery);
    return started.wait(seconds(5), "the system bus");
}

void DBusEventLoop::stop() {
    if (thread_.joinable()) {
        connection_.leaveEventLoop();
        thread_.join();
    }
}

}  // namespace harbormind
