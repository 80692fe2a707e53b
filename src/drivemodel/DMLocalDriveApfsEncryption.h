#pragma once

#include "drivemodel/DMLocalDriveVolumeToolEncryption.h"

namespace harbormind {

// Encrypts an APFS volume in place. The tool returns at once and the platform encrypts in
// the background, so the job follows the container's listing until it gives a verdict, then
// waits for the volume to go away and come back, and unlocks it with the new password.
class DMLocalDriveApfsEncryption final : public DMLocalDriveVolumeToolEncryption {
public:
    // Checks, one second apart, for the volume to unmount and to mount again.
    static constexpr int remountChecks = 61;

    using DMLocalDriveVolumeToolEncryption::DMLocalDriveVolumeToolEncryption;

protected:
    void encrypt(const std::string& bsdName, const std::string& password) override;

private:
    void encrypted(const std::string& password, bool toolPrinted);
};

}  // namespace harbormind
