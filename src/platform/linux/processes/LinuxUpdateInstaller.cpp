#include "platform/linux/processes/LinuxUpdateInstaller.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <sdbus-c++/sdbus-c++.h>

#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {
namespace {

// The descriptor, owned by the bus library's wrapper from here on.
std::optional<sdbus::UnixFd> openForReading(const std::string& path, std::string& problem) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        problem = "cannot open " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return sdbus::UnixFd(fd, sdbus::adopt_fd);
}

}  // namespace

UpdateInstaller::Answer LinuxUpdateInstaller::install(const std::string& packagePath,
                                                      const std::string& signaturePath) {
    std::string problem;
    auto package = openForReading(packagePath, problem);
    auto signature = package ? openForReading(signaturePath, problem) : std::nullopt;
    if (!package || !signature) {
        return {false, problem};
    }
    try {
        const char* service = XPCServiceName::update;
        auto connection = sdbus::createSystemBusConnection();
        auto proxy = sdbus::createProxy(*connection, service, DBusNames::objectPath(service));
        auto request = proxy->createMethodCall(DBusNames::interfaceName(service), "installUpdatePackage");
        request << *package << *signature;
        // The administrator authenticates first, then the package manager runs.
        auto reply = proxy->callMethod(request, DBusTimeout::none);
        std::int64_t code = 1;
        std::string message;
        reply >> code >> message;
        return {code == 0, message};
    } catch (const sdbus::Error& failure) {
        return {false, "the helper daemon cannot be reached: " + failure.getMessage()};
    }
}

}  // namespace harbormind
