#pragma once

#include <optional>
#include <string>

#include "platform/ProgramCall.h"

namespace harbormind {

// The volume-tool command lines the drive operations run through "/bin/sh -c". Every value
// passed in is placed in the line through the shared shell-quoting helper.
class CommandTable {
public:
    virtual ~CommandTable() = default;

    virtual std::string mountVolume(const std::string& bsdName) = 0;
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
};

}  // namespace harbormind
