#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include <sdbus-c++/sdbus-c++.h>

namespace harbormind {

// Runs a connection's event loop on a thread of its own. sdbus-c++ 1.2's own loop thread
// ends the process when the bus goes away (its error escapes the thread); here the error ends
// only the loop, and `onEnd` is told. Started, it waits until the loop serves: with 1.2 a
// synchronous call made before the new thread first polls can miss its reply, and one
// asynchronous call answered by the bus proves the loop runs.
class DBusEventLoop {
public:
    explicit DBusEventLoop(sdbus::IConnection& connection, std::function<void()> onEnd = {});
    ~DBusEventLoop();
    DBusEventLoop(const DBusEventLoop&) = delete;
    DBusEventLoop& operator=(const DBusEventLoop&) = delete;

    // False when the bus did not answer within a few seconds.
    bool start();
    // Never from the loop's own thread.
    void stop();
    bool ended() const { return ended_; }

private:
    sdbus::IConnection& connection_;
    std::function<void()> onEnd_;
    std::thread thread_;
    std::atomic<bool> ended_{false};
};

}  // namespace harbormind
