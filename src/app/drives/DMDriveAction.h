#pragma once

#include <cstdint>

namespace harbormind {

// The dispatcher's actions, one numbering for local and network drives. An action means
// the local action on a local drive and the network action on a network drive. The numbers
// are those an action bar's items carry.
enum class DMDriveAction : std::uint8_t {
    open = 0,
    unlock = 1,
    lock = 2,
    mount = 3,  // connect, for a network drive
    unmount = 4,  // disconnect, for a network drive
    eject = 5,
    encrypt = 6,
    edit = 7,
    remove = 8,
    clone = 9,
    resumeClone = 10,
    junkClean = 11,
    driveClean = 12,
    firstAid = 13,
    // Of our own, for local drives: the disk tools.
    erase = 14,
    newPartition = 15,
    deletePartition = 16,
    // This system's own: saves the detached header of an encrypted volume where the user picks.
    exportHeader = 17,
};

}  // namespace harbormind
