#pragma once

#include <optional>
#include <string>

#include "platform/ProgramCall.h"

namespace harbormind {

// The volume-tool command lines the drive operations run through "/bin/sh -c" (mounting is
// the disk session's request). Every value
// passed in is placed in the line through the shared shell-quoting helper.
class CommandTable {
public:
    virtual ~CommandTable() = default;

    // Run after the session's eject succeeded; its output is ignored. Empty where the
    // session's eject does all the work.
    virtual std::string ejectDisk(const std::string& bsdName) = 0;
    virtual std::string lockVolume(const std::string& bsdName) = 0;
    virtual std::string unlockVolume(const std::string& bsdName, const std::string& passphrase) = 0;
    // Lists the logical volume groups in property-list form.
    virtual std::string listCoreStorage() = 0;
    // Unlocks a CoreStorage logical volume by its identifier. An empty line means the
    // platform has no such volumes; the unlock then fails without running anything.
    // Opens a LUKS volume (the passphrase on the program's standard input) and closes it
    // again; none where the platform has no such volumes. Success is exit status 0; the
    // reason of a failure is the last line of standard error.
    virtual std::optional<ProgramCall> unlockLUKSVolume(const std::string& bsdName) {
        (void)bsdName;
        return std::nullopt;
    }
    virtual std::optional<ProgramCall> lockLUKSVolume(const std::string& bsdName) {
        (void)bsdName;
        return std::nullopt;
    }
    virtual std::string unlockCoreStorageVolume(const std::string& logicalVolume, const std::string& passphrase) {
        (void)logicalVolume;
        (void)passphrase;
        return {};
    }
    // Encrypting a volume in place with the platform's volume tool: an APFS volume, and a
    // Mac OS Extended volume converted to an encrypted CoreStorage volume. The listing of an
    // APFS container tells how far its volumes' encryption has come. Empty where the platform
    // has no such volumes; an encryption then fails as a tool that printed nothing.
    virtual std::string encryptAPFSVolume(const std::string& bsdName, const std::string& passphrase) {
        (void)bsdName;
        (void)passphrase;
        return {};
    }
    virtual std::string convertToCoreStorage(const std::string& bsdName, const std::string& passphrase) {
        (void)bsdName;
        (void)passphrase;
        return {};
    }
    virtual std::string listAPFSContainer(const std::string& wholeDisk) {
        (void)wholeDisk;
        return {};
    }
    // Starts the USB blocker agent from the start-up file the daemon installed, and keeps it
    // starting with the user's session; the unload line stops it and ends that. An empty line
    // means the platform cannot, and the caller reports a failure.
    virtual std::string loadUSBBlockerAgent() { return {}; }
    virtual std::string unloadUSBBlockerAgent() { return {}; }
};

}  // namespace harbormind
