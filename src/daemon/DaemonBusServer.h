#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "daemon/DaemonBackend.h"
#include "daemon/DaemonGuard.h"
#include "daemon/DaemonJobs.h"
#include "daemon/DaemonMethod.h"
#include "xpc/dbus/DBusEventLoop.h"

namespace harbormind {

class BusAppCallbacks;
class DaemonVersionObject;

// The daemon on the bus: owns every service name (XPCServiceName::all), exports one object per
// service whose methods are the method table's, and the daemon's own object (its version). A call whose
// arguments have the wrong form is refused as it arrives; otherwise the caller's identity is
// asked of the bus, and the call is answered from a job thread of its own (DaemonJobs limits
// them per calling user), where the guard decides and the backend does the work. A refused
// call gets the method's default answer and a log line with the caller's uid.
class DaemonBusServer {
public:
    DaemonBusServer(std::unique_ptr<sdbus::IConnection> connection, std::shared_ptr<DaemonBackend> backend,
                    std::shared_ptr<DaemonGuard> guard, std::string version,
                    std::function<void()> onBusLost = {});
    ~DaemonBusServer();

    // Registers the objects, starts the event loop and takes the names; false with `error`
    // when a name cannot be owned (another daemon runs, or the bus's policy refuses us).
    // `onBusLost` runs when the bus goes away.
    bool start(std::string& error);
    void stop();
    sdbus::IConnection& connection() { return *connection_; }

private:
    void registerService(const std::string& serviceName);
    void receive(const DaemonMethod& method, sdbus::MethodCall call);
    void admit(const DaemonMethod& method, const sdbus::MethodCall& call, std::vector<DaemonValue> arguments,
               const std::optional<CallerIdentity>& caller);
    void handle(const DaemonMethod& method, const sdbus::MethodCall& call, const CallerIdentity& caller,
                std::vector<DaemonValue> arguments);
    static void refuseNow(const DaemonMethod& method, const sdbus::MethodCall& call, const std::string& who,
                          const std::string& reason);
    static void acknowledge(const DaemonMethod& method, const sdbus::MethodCall& call);
    std::shared_ptr<BusAppCallbacks> callbacksFor(const std::string& busName, const std::string& serviceName);

    std::unique_ptr<sdbus::IConnection> connection_;
    std::shared_ptr<DaemonBackend> backend_;
    std::shared_ptr<DaemonGuard> guard_;
    std::string version_;
    std::vector<std::unique_ptr<sdbus::IObject>> objects_;
    std::unique_ptr<DaemonVersionObject> versionObject_;
    // Asks the bus who calls, without waiting on the loop thread.
    std::unique_ptr<sdbus::IProxy> busProxy_;
    DaemonJobs jobs_;
    std::atomic<bool> closing_{false};
    std::function<void()> onBusLost_;
    std::unique_ptr<DBusEventLoop> loop_;
    // The callers' callbacks still in use: once the loop has stopped, they give up the
    // answers they wait for (an application that never answers holds nothing up).
    std::mutex callbacksMutex_;
    std::vector<std::weak_ptr<BusAppCallbacks>> callbacks_;
};

}  // namespace harbormind
