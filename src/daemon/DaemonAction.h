#pragma once

namespace harbormind {

// What a call does, for authorization: each kind of operation is its own polkit action, so an
// administrator can allow one and refuse another. `perDevice` marks a method whose action
// depends on the device it names (mounting a removable or a system volume, a disk image the
// caller attached or another's): the service asks for the right one itself.
enum class DaemonAction {
    query,           // questions about drives and the daemon's own settings
    mountRemovable,  // mount a volume of removable or external media, or of an image the caller attached
    mountSystem,     // mount a volume of a disk that is part of the computer
    loopOthers,      // mount, unmount or detach a disk image the caller did not attach
    unmountOthers,   // unmount another user's mount on a disk that is not removable
    eject,           // eject removable media, or a disk whose mounts are the caller's
    attachImage,     // attach a disk image the caller can read
    unlock,          // unlock and lock an encrypted volume
    encrypt,         // encrypt, resume an encryption, read a recovery key or a detached header
    check,           // check a volume (First Aid without repairing)
    repair,          // repair a volume
    clone,           // clone a device onto another, or stop a clone
    usbLists,        // change the USB blocker's white and black lists
    usbWarden,       // change USB Warden: its mode, password, and the agent
    installUpdate,   // install a signed update of this application
    health,          // read a drive's health (its SMART data)
    selfTest,        // start a drive's self-test
    eraseRemovable,  // erase or partition removable media the caller may mount
    eraseSystem,     // erase or partition any other disk
    restoreRemovable,  // write a disk image over removable media the caller may mount
    restoreSystem,     // write a disk image over any other disk
    imageCreate,     // read a whole disk or volume into a disk image
    perDevice,
};

}  // namespace harbormind
