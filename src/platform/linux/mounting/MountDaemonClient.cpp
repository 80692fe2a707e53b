#include "platform/linux/mounting/MountDaemonClient.h"

#include <sdbus-c++/sdbus-c++.h>

#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {

template <typename... Arguments>
MountDaemonClient::Answer MountDaemonClient::call(const char* service, const std::string& method,
                                                  const Arguments&... arguments) const {
    Answer answer{1, {}};
    try {
        auto connection = sdbus::createSystemBusConnection();
        auto proxy = sdbus::createProxy(*connection, service, DBusNames::objectPath(service));
        auto request = proxy->createMethodCall(DBusNames::interfaceName(service), method);
        (request << ... << arguments);
        // An administrator may have to authenticate first; the daemon answers when done.
        auto reply = proxy->callMethod(request, DBusTimeout::answer);
        reply >> answer.code >> answer.message;
    } catch (const sdbus::Error& failure) {
        answer.code = 1;
        answer.message = "the helper daemon cannot be reached: " + failure.getMessage();
    }
    return answer;
}

MountDaemonClient::Answer MountDaemonClient::mountVolume(const std::string& name) const {
    return call(XPCServiceName::mount, "mountVolume", name);
}

MountDaemonClient::Answer MountDaemonClient::unmountVolume(const std::string& name, bool force, bool wholeDisk) const {
    return call(XPCServiceName::mount, "unmountVolume", name, force, wholeDisk);
}

MountDaemonClient::Answer MountDaemonClient::ejectDisk(const std::string& name) const {
    return call(XPCServiceName::mount, "ejectDisk", name);
}

MountDaemonClient::Answer MountDaemonClient::unlockDrive(const std::string& name, const std::string& passphrase,
                                                         bool readOnly) const {
    return call(XPCServiceName::luks, "unlockDriveWithBsdname", name, passphrase, readOnly);
}

MountDaemonClient::Answer MountDaemonClient::lockDrive(const std::string& name) const {
    return call(XPCServiceName::luks, "lockDriveWithBsdname", name);
}

MountDaemonClient::Answer MountDaemonClient::attachDiskImage(int imageFd, bool readOnly) const {
    return call(XPCServiceName::mount, "attachDiskImage", sdbus::UnixFd(imageFd), readOnly);
}

}  // namespace harbormind
