#include "platform/linux/desktop/LinuxSocketPeer.h"

#include <sys/socket.h>
#include <unistd.h>

namespace harbormind {

std::optional<std::uint32_t> LinuxSocketPeer::uidOf(int socketFd) {
    struct ucred peer {};
    socklen_t length = sizeof peer;
    if (socketFd < 0 || ::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || length != sizeof peer) {
        return std::nullopt;
    }
    return peer.uid;
}

std::uint32_t LinuxSocketPeer::currentUid() {
    return ::getuid();
}

}  // namespace harbormind
