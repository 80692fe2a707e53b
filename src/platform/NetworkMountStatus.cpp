#include "platform/NetworkMountStatus.h"

namespace harbormind {

std::string NetworkMountStatus::describe(int status) {
    switch (status) {
    case success:
        return "Connected.";
    case hostDown:
        return "The server cannot be reached.";
    case noSuchShare:
        return "The server has no such shared folder.";
    case permissionDenied:
        return "The server refused access to the shared folder.";
    case alreadyConnected:
        return "The shared folder is already connected.";
    case notSupported:
        return "This kind of network drive cannot be connected on this system.";
    case timedOut:
        return "The server did not answer in time.";
    case authenticationRefused:
        return "The user name or password is incorrect.";
    case cancelled:
        return "The connection was cancelled.";
    case inUse:
        return "The network drive is in use; close the files open on it and try again. It stays connected.";
    case writesPending:
        return "Files written to the network drive have not all reached the server yet. It stays connected; "
               "try again when they have.";
    default:
        return "The connection failed (status " + std::to_string(status) + ").";
    }
}

}  // namespace harbormind
