#pragma once

#include <optional>
#include <string>

namespace harbormind {

// The detached LUKS2 headers the daemon keeps, one per volume, in a folder only root may
// enter. A header is named after the device; beside it the daemon records what identifies
// the device (its size, a loop device's image, the disk's serial and the partition number),
// and uses the header only for a device that still matches: a header applied to another
// device would let a resumed reencryption scramble it.
class LuksHeaderStore {
public:
    explicit LuksHeaderStore(std::string folder, std::string sysfsRoot = "/sys");

    std::string headerPath(const std::string& name) const;
    // Creates the folder (root's, mode 0700) or checks an existing one; false when it is a
    // link, not root's, or others may enter it.
    bool prepareFolder() const;
    // A header exists for this device and the device still matches it.
    bool has(const std::string& name) const;
    // A header exists under this name but was made for another device.
    bool heldByAnother(const std::string& name) const;
    // Records the device's identity beside a header about to be made.
    bool remember(const std::string& name) const;
    // A device back under another name (a stick plugged in again, an image attached to
    // another loop device) takes its kept header along: the files of the one other name
    // whose recorded identity is this device's, while that name no longer carries it, are
    // renamed to this name. Only an identity that tells devices apart counts (a loop
    // device's image, a disk with a serial). The former name when a header moved.
    std::optional<std::string> followMovedDevice(const std::string& name) const;
    // Renames the header and identity of this device to a free name ending in ".unused"
    // (nothing is deleted); the header's new path, or none when it could not be moved.
    std::optional<std::string> setAside(const std::string& name) const;
    // The header file read whole, as base64; nothing when missing or unreadable.
    std::optional<std::string> readBase64(const std::string& name) const;

    // A job's recovery key is owed for this device from before its reencryption starts until
    // the key is added and checked: a daemon that dies in between (even after cryptsetup
    // finished) leaves the record, and a resume then adds the missing key.
    bool markKeyPending(const std::string& name) const;
    bool keyPending(const std::string& name) const;
    void clearKeyPending(const std::string& name) const;

    std::string identity(const std::string& name) const;

private:
    std::string identityPath(const std::string& name) const;
    std::string keyPendingPath(const std::string& name) const;

    std::string folder_;
    std::string sysfsRoot_;
};

}  // namespace harbormind
