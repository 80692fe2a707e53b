#include "drivemodel/DMLocalDriveApfsEncryption.h"

#include "drivemodel/DMApfsWrapper.h"
#include "drivemodel/DMCommandLine.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "drivemodel/DMRepeatedCheck.h"
#include "platform/CommandTable.h"
#include "platform/Platform.h"
#include "runner/TaskHandler.h"

namespace harbormind {

void DMLocalDriveApfsEncryption::encrypt(const std::string& bsdName, const std::string& password) {
    DMCommandOutput output = DMCommandLine::run(Platform::current().commands().encryptAPFSVolume(bsdName, password));
    std::optional<std::string> wholeDisk = DMApfsWrapper::wholeDiskName(bsdName);
    if (!wholeDisk) {
        return;
    }
    std::string listing = Platform::current().commands().listAPFSContainer(*wholeDisk);
    if (listing.empty()) {
        // Nothing could ever give a verdict: fail instead of polling for ever.
        finish(DMProgressError::UnsupportedPartitionTable);
        return;
    }
    bool toolPrinted = !output.standardOutput.empty();
    TaskHandler::pollEncryptionStatus(
        "/bin/sh", {"-c", listing},
        [&](bool isEncrypted, int reason) {
            if (!isEncrypted) {
                finish(reason == TaskHandler::reasonPausedOnBattery ? DMProgressError::eUnplugPower
                                                                    : DMProgressError::UnsupportedPartitionTable);
                return;
            }
            encrypted(password, toolPrinted);
        },
        bsdName);
}

void DMLocalDriveApfsEncryption::encrypted(const std::string& password, bool toolPrinted) {
    auto drive = driveObj();
    DMRepeatedCheck::until(remountChecks, [&] { return !drive->mountPoint().has_value(); });
    if (auto owner = manager()) {
        owner->unlock(drive, password, false, nullptr);
    }
    DMRepeatedCheck::until(remountChecks, [&] { return drive->mountPoint().has_value(); });
    finish(toolPrinted ? DMProgressError::noError : DMProgressError::UnsupportedPartitionTable);
}

}  // namespace harbormind
