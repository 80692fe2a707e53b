#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

#include "support/DispatchQueue.h"
#include "xpc/dbus/DBusEventLoop.h"

namespace harbormind {

// One connection of ours to the system bus with its own event loop thread. A call that
// waits for a reply keeps its link alive until the reply (or the bus's error) arrives, so a
// caller may drop its proxy right after sending; the link is then closed on a worker thread,
// never on its own loop thread.
class DBusLink : public std::enable_shared_from_this<DBusLink> {
public:
    // Null (and `error` set) when there is no bus to connect to.
    static std::shared_ptr<DBusLink> open(std::string& error);
    ~DBusLink();
    DBusLink(const DBusLink&) = delete;
    DBusLink& operator=(const DBusLink&) = delete;

    sdbus::IConnection& connection() { return *connection_; }
    // The proxy of `destination`'s object at `path`, made once per destination and path.
    sdbus::IProxy& proxy(const std::string& destination, const std::string& path);
    // The object this link exports at `path`, made once.
    sdbus::IObject& exportedObject(const std::string& path);
    // The queue, made once, on which the daemon's callbacks on this link are handled, in the
    // order they arrived. A reply that must not overtake them (the end of a refused request
    // comes as a callback first) is handed to its caller on the same queue.
    std::shared_ptr<DispatchQueue> callbackQueue();

    // Sends `call`; `handler` runs on the loop thread with the reply or the bus's error.
    void callAsync(sdbus::IProxy& target, const sdbus::MethodCall& call, sdbus::async_reply_handler handler,
                   std::uint64_t timeout);

private:
    DBusLink() = default;
    bool startLoop(std::string& error);
    static void releaseLater(std::shared_ptr<DBusLink> link);

    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<DBusEventLoop> loop_;
    std::mutex mutex_;
    std::map<std::string, std::unique_ptr<sdbus::IProxy>> proxies_;
    std::unique_ptr<sdbus::IObject> object_;
    std::shared_ptr<DispatchQueue> callbackQueue_;
};

}  // namespace harbormind
