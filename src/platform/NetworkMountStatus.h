#pragma once

#include <string>

namespace harbormind {

// Status codes of network mounts. They keep the values the mounting service has always
// reported, so callers can tell a refused login (80) from everything else.
struct NetworkMountStatus {
    static constexpr int success = 0;
    static constexpr int hostDown = -1;
    static constexpr int noSuchShare = 2;
    static constexpr int permissionDenied = 13;
    static constexpr int alreadyConnected = 17;
    static constexpr int notSupported = 45;
    static constexpr int timedOut = 60;
    static constexpr int authenticationRefused = 80;
    static constexpr int cancelled = -128;
    // A disconnect that did not happen: files are open on the volume, or written files have
    // not all reached the server within the time allowed.
    static constexpr int inUse = 16;
    static constexpr int writesPending = -2;

    // A sentence for the user.
    static std::string describe(int status);
    // What the user can check for a failed connection with this status; empty for success.
    static std::string advice(int status);
};

}  // namespace harbormind
