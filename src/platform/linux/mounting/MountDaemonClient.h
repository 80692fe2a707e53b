#pragma once

#include <cstdint>
#include <string>

#include "support/CodeResult.h"

namespace harbormind {

// Asks the daemon on the system bus to mount, unmount or eject for the calling user: what an
// unprivileged user's mount helper does instead of acting itself. The daemon takes the
// caller's identity from the bus and chooses the mount folder. Answers the daemon's code
// (0 done, 16 busy, 13 not permitted, 1 failed) and message; 1 with the bus's error when the
// daemon cannot be reached.
class MountDaemonClient {
public:
    using Answer = CodeResult;

    Answer mountVolume(const std::string& name) const;
    Answer unmountVolume(const std::string& name, bool force, bool wholeDisk) const;
    Answer ejectDisk(const std::string& name) const;
    // Unlocking and locking a LUKS or BitLocker volume, through the encrypted-volume service.
    Answer unlockDrive(const std::string& name, const std::string& passphrase, bool readOnly) const;
    Answer lockDrive(const std::string& name) const;
    // Attaches the disk image open at `imageFd` (opened by the caller, with their rights); on 0
    // the message is the loop device's name.
    Answer attachDiskImage(int imageFd, bool readOnly) const;

private:
    template <typename... Arguments>
    Answer call(const char* service, const std::string& method, const Arguments&... arguments) const;
};

}  // namespace harbormind
