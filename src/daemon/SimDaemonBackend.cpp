#include "daemon/SimDaemonBackend.h"

#include "platform/sim/InProcessDiskToolsService.h"

#include "daemon/RefusingBitLockerService.h"
#include "daemon/RefusingCheckDiskBackend.h"
#include "daemon/RefusingDeviceCloneService.h"
#include "daemon/RefusingNtfsService.h"
#include "daemon/RefusingUSBBlockerService.h"
#include "xpc/DMCheckDiskServerProtocol.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

// Hands the command, as the application sent it, to the simulated check-disk service.
class SimCheckDisk final : public CheckDiskBackend {
public:
    explicit SimCheckDisk(std::shared_ptr<DMCheckDiskServerProtocol> service) : service_(std::move(service)) {}
    void firstAid(const FirstAidCommand& command, std::shared_ptr<DMCheckDiskAppProtocol>, XPCBoolReply reply) override {
        service_->firstAidWithArguments(command.arguments, std::move(reply));
    }
    XPCCodeAnswer canRun(const FirstAidCommand& command) override {
        XPCCodeAnswer answer{1, "no answer"};
        service_->canRunFirstAidWithArguments(command.arguments, [&answer](XPCCodeAnswer given) { answer = given; });
        return answer;
    }

private:
    std::shared_ptr<DMCheckDiskServerProtocol> service_;
};

}  // namespace

SimDaemonBackend::SimDaemonBackend(std::shared_ptr<InProcessDaemon> daemon) : transport_(std::move(daemon)) {}

template <typename Protocol>
std::shared_ptr<Protocol> SimDaemonBackend::service(const char* serviceName) {
    // A scenario that refuses the connection gives no service: its caller gets the refusal.
    auto connection = transport_.newConnection(serviceName);
    return std::dynamic_pointer_cast<Protocol>(connection->remoteObjectProxyWithErrorHandler({}));
}

std::shared_ptr<DMBitLockerServerProtocol> SimDaemonBackend::bitLocker(std::shared_ptr<DMBitLockerAppProtocol>) {
    auto found = service<DMBitLockerServerProtocol>(XPCServiceName::bitLocker);
    return found ? found : std::make_shared<RefusingBitLockerService>();
}

std::shared_ptr<DMNtfsServerProtocol> SimDaemonBackend::ntfs(const CallerIdentity&) {
    auto found = service<DMNtfsServerProtocol>(XPCServiceName::ntfs);
    return found ? found : std::make_shared<RefusingNtfsService>();
}

std::shared_ptr<CheckDiskBackend> SimDaemonBackend::checkDisk() {
    auto found = service<DMCheckDiskServerProtocol>(XPCServiceName::checkDisk);
    if (!found) {
        return std::make_shared<RefusingCheckDiskBackend>();
    }
    return std::make_shared<SimCheckDisk>(found);
}

std::shared_ptr<DMDeviceCloneServerProtocol> SimDaemonBackend::deviceClone(std::shared_ptr<DMDeviceCloneAppProtocol>) {
    auto found = service<DMDeviceCloneServerProtocol>(XPCServiceName::deviceClone);
    return found ? found : std::make_shared<RefusingDeviceCloneService>();
}

std::shared_ptr<DMUSBBlockerServerProtocol> SimDaemonBackend::usbBlocker(const CallerIdentity& /*caller*/) {
    auto found = service<DMUSBBlockerServerProtocol>(XPCServiceName::usbBlocker);
    return found ? found : std::make_shared<RefusingUSBBlockerService>();
}

std::shared_ptr<DMDiskToolsServerProtocol> SimDaemonBackend::diskTools(const DriveMountCaller&) {
    return std::make_shared<InProcessDiskToolsService>(transport_.daemon());
}

}  // namespace harbormind
