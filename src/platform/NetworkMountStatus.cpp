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

std::string NetworkMountStatus::advice(int status) {
    switch (status) {
    case success:
    case alreadyConnected:
    case cancelled:
        return {};
    case hostDown:
        return "Check the server's name or address, that the server is on, and that this computer is on its "
               "network.";
    case timedOut:
        return "Check the server's name or address and the network connection; the server may be busy.";
    case authenticationRefused:
        return "Check the user name and the password, or connect as a guest if the server allows it.";
    case noSuchShare:
        return "Check the shared folder's name, the part of the address after the server.";
    case permissionDenied:
        return "Check that this account may use the shared folder, or ask the server's administrator.";
    case notSupported:
        return "Check the drive's type; another kind of connection to the same server may work.";
    case inUse:
    case writesPending:
        return {};
    default:
        return "Check the server's name or address, the user name and password, and the shared folder's name.";
    }
}

}  // namespace harbormind
