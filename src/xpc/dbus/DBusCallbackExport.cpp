#include "xpc/dbus/DBusCallbackExport.h"

#include <functional>

#include "support/Dispatch.h"
#include "support/SerialQueue.h"
#include "xpc/DMBitLockerAppProtocol.h"
#include "xpc/DMCheckDiskAppProtocol.h"
#include "xpc/DMDeviceCloneAppProtocol.h"
#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {
namespace {

// A call being answered. The link is declared first so that it is released last: a message
// must not outlive the connection it came from.
struct IncomingCall {
    std::shared_ptr<DBusLink> link;
    sdbus::MethodCall call;
};
using Incoming = std::shared_ptr<IncomingCall>;
using Job = std::function<void(const Incoming& incoming)>;

// True when the call comes from the connection that owns the service name.
bool fromDaemon(DBusLink& link, const std::string& serviceName, const sdbus::MethodCall& call) {
    try {
        auto& bus = link.proxy("org.freedesktop.DBus", "/org/freedesktop/DBus");
        auto ask = bus.createMethodCall("org.freedesktop.DBus", "GetNameOwner");
        ask << serviceName;
        auto reply = bus.callMethod(ask, DBusTimeout::busQuery);
        std::string owner;
        reply >> owner;
        return owner == call.getSender();
    } catch (const sdbus::Error&) {
        return false;
    }
}

// Registers `method`; its job runs on `queue` with the link kept alive until it ends.
void add(const std::shared_ptr<DBusLink>& link, const std::string& serviceName, const char* method,
         const char* input, const char* output, std::shared_ptr<DispatchQueue> queue, Job job) {
    std::weak_ptr<DBusLink> weakLink = link;
    link->exportedObject(DBusNames::appObjectPath)
        .registerMethod(DBusNames::appInterfaceName(serviceName), method, input, output,
                        [weakLink, serviceName, queue, job](sdbus::MethodCall call) {
                            std::shared_ptr<DBusLink> alive = weakLink.lock();
                            if (!alive) {
                                return;
                            }
                            auto incoming = std::make_shared<IncomingCall>(IncomingCall{alive, std::move(call)});
                            alive.reset();
                            queue->async([serviceName, job, incoming] {
                                sdbus::MethodCall& received = incoming->call;
                                if (!fromDaemon(*incoming->link, serviceName, received)) {
                                    if (!received.doesntExpectReply()) {
                                        received
                                            .createErrorReply(sdbus::Error("org.freedesktop.DBus.Error.AccessDenied",
                                                                           "only the daemon may call back"))
                                            .send();
                                    }
                                    return;
                                }
                                job(incoming);
                            });
                        });
}

template <typename T>
void replyWith(const Incoming& incoming, T value) {
    auto reply = incoming->call.createReply();
    reply << value;
    reply.send();
}

template <typename Protocol>
void addProgress(const std::shared_ptr<DBusLink>& link, const std::string& serviceName,
                 std::weak_ptr<Protocol> target, std::shared_ptr<DispatchQueue> queue = Dispatch::global()) {
    add(link, serviceName, "updateProgressWithStatus", "xxxx", "x", std::move(queue),
        [target](const Incoming& incoming) {
            std::int64_t status = 0, total = 0, current = 0, error = 0;
            incoming->call >> status >> total >> current >> error;
            auto object = target.lock();
            if (!object) {
                replyWith<std::int64_t>(incoming, 0);
                return;
            }
            object->updateProgressWithStatus(status, total, current, error,
                                             [incoming](std::int64_t answer) { replyWith(incoming, answer); });
        });
}

}  // namespace

bool DBusCallbackExport::install(const std::shared_ptr<DBusLink>& link, const std::string& serviceName,
                                 const std::weak_ptr<XPCInterface>& exported) {
    std::shared_ptr<XPCInterface> object = exported.lock();
    try {
        // The encrypted-volume service reports its progress like the BitLocker service.
        if (serviceName == XPCServiceName::bitLocker || serviceName == XPCServiceName::luks) {
            auto bitLocker = std::dynamic_pointer_cast<DMBitLockerAppProtocol>(object);
            if (!bitLocker) {
                return false;
            }
            std::weak_ptr<DMBitLockerAppProtocol> target = bitLocker;
            addProgress(link, serviceName, target);
            add(link, serviceName, "continuedWithReply", "", "b", Dispatch::global(), [target](const Incoming& incoming) {
                auto current = target.lock();
                if (!current) {
                    replyWith(incoming, true);
                    return;
                }
                current->continuedWithReply([incoming](bool answer) { replyWith(incoming, answer); });
            });
        } else if (serviceName == XPCServiceName::deviceClone) {
            auto clone = std::dynamic_pointer_cast<DMDeviceCloneAppProtocol>(object);
            if (!clone) {
                return false;
            }
            // One queue keeps the reports and the clone's end in the order they were sent.
            std::weak_ptr<DMDeviceCloneAppProtocol> target = clone;
            auto reports = SerialQueue::create("clone callbacks");
            addProgress(link, serviceName, target, reports);
            add(link, serviceName, "cloneEndedWithUnreadableBytes", "xs", "", reports,
                [target](const Incoming& incoming) {
                    sdbus::MethodCall& call = incoming->call;
                    std::int64_t unreadableBytes = 0;
                    std::string reason;
                    call >> unreadableBytes >> reason;
                    if (auto current = target.lock()) {
                        current->cloneEndedWithUnreadableBytes(unreadableBytes, reason);
                    }
                    if (!call.doesntExpectReply()) {
                        call.createReply().send();
                    }
                });
        } else if (serviceName == XPCServiceName::checkDisk) {
            auto checkDisk = std::dynamic_pointer_cast<DMCheckDiskAppProtocol>(object);
            if (!checkDisk) {
                return false;
            }
            std::weak_ptr<DMCheckDiskAppProtocol> target = checkDisk;
            auto lines = link->callbackQueue();
            add(link, serviceName, "updateUIWithChekcInfo", "sx", "", lines, [target](const Incoming& incoming) {
                sdbus::MethodCall& call = incoming->call;
                std::string info;
                std::int64_t checkStatus = 0;
                call >> info >> checkStatus;
                if (auto current = target.lock()) {
                    current->updateUIWithChekcInfo(info, checkStatus);
                }
                if (!call.doesntExpectReply()) {
                    call.createReply().send();
                }
            });
        } else {
            return false;
        }
        link->exportedObject(DBusNames::appObjectPath).finishRegistration();
    } catch (const sdbus::Error&) {
        return false;
    }
    return true;
}

}  // namespace harbormind
