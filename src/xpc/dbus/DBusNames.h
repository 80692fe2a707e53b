#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// How the daemon's services appear on the system bus. Each service name is a bus name that
// the daemon owns; its one object lives at the name's path and offers one interface named
// like the service. Methods are the selectors' words without the colons. Callbacks go to an
// object that the calling application exports on its own bus connection.
struct DBusNames {
    // "com.Kestrane.drivemanagerd.BitLockerXPC" -> "/com/Kestrane/drivemanagerd/BitLockerXPC".
    static std::string objectPath(const std::string& serviceName);
    static std::string interfaceName(const std::string& serviceName) { return serviceName; }
    // The interface of the application's callback object for a service.
    static std::string appInterfaceName(const std::string& serviceName) { return serviceName + ".App"; }

    static constexpr const char* appObjectPath = "/com/Kestrane/drivemanagerd/App";
    // The daemon's own object (version), reachable through any of its service names.
    static constexpr const char* daemonObjectPath = "/com/Kestrane/drivemanagerd";
};

// sdbus-c++ time-outs in microseconds: 0 would mean the library's 25 s default, so a call
// that must wait as long as its job runs (encrypting, cloning, First Aid reply when the job
// ends) passes `none` explicitly.
struct DBusTimeout {
    static constexpr std::uint64_t none = UINT64_MAX;
    // Asking the bus itself (credentials, name owners): it answers at once or not at all.
    static constexpr std::uint64_t busQuery = 5'000'000;
    // A request the daemon answers when it has looked (an administrator may have to
    // authenticate first): far above every caller's own limit, so only a hung daemon reaches
    // it, and the connection it holds is then let go.
    static constexpr std::uint64_t answer = 600'000'000;
};

}  // namespace harbormind
