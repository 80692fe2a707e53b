#pragma once

#include <cstdint>
#include <optional>

namespace harbormind {

// Who is at the other end of a local socket, as the kernel recorded it when the connection was
// made (SO_PEERCRED): nothing the peer says about itself.
class LinuxSocketPeer {
public:
    static std::optional<std::uint32_t> uidOf(int socketFd);
    // The real uid of this process.
    static std::uint32_t currentUid();
};

}  // namespace harbormind
