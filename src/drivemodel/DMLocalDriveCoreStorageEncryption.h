#pragma once

#include "drivemodel/DMLocalDriveVolumeToolEncryption.h"

namespace harbormind {

// Converts a Mac OS Extended volume into an encrypted CoreStorage volume.
class DMLocalDriveCoreStorageEncryption final : public DMLocalDriveVolumeToolEncryption {
public:
    using DMLocalDriveVolumeToolEncryption::DMLocalDriveVolumeToolEncryption;

protected:
    void encrypt(const std::string& bsdName, const std::string& password) override;
};

}  // namespace harbormind
