#include "drivemodel/DMLocalDriveVolumeToolEncryption.h"

#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "drivemodel/DMRepeatedCheck.h"
#include "support/Clock.h"
#include "support/Dispatch.h"

namespace harbormind {

void DMLocalDriveVolumeToolEncryption::prepare() {
    auto self = shared_from_this();
    Dispatch::global()->async([self] { self->run(); });
}

bool DMLocalDriveVolumeToolEncryption::send(DMProgressStatus status, std::uint64_t current, DMProgressError error) {
    auto receiver = delegate();
    if (!receiver) {
        return false;
    }
    DMProgressMessage message;
    message.status = status;
    message.current = current;
    message.total = 100;
    message.error = error;
    return receiver->encryptionProgress(message) == 0;
}

void DMLocalDriveVolumeToolEncryption::finish(DMProgressError error) {
    send(DMProgressStatus::finished, 100, error);
    scheduleFinalUpdate();
}

void DMLocalDriveVolumeToolEncryption::run() {
    std::optional<std::string> chosen = password();
    auto drive = driveObj();
    if (!chosen || !drive) {
        return;
    }
    if (!send(DMProgressStatus::initializing, 0)) {
        return;
    }
    flags().setReady();
    if (!send(DMProgressStatus::initialized, 0)) {
        return;
    }
    flags().waitForStart();
    // A cancelled job goes no further, even while its window still listens.
    if (!isContinued() || !send(DMProgressStatus::running, 10)) {
        return;
    }
    flags().waitWhilePaused();
    Clock::current().sleepFor(seconds(2));
    if (!isContinued() || !send(DMProgressStatus::running, 20)) {
        return;
    }
    auto owner = manager();
    if (owner) {
        owner->mount(drive, nullptr);
    }
    DMRepeatedCheck::until(mountChecks, [&] { return drive->mountPoint().has_value(); });
    if (!owner || owner->accessMode(drive) != 1) {
        send(DMProgressStatus::finished, 100, DMProgressError::needPermission);
        return;
    }
    encrypt(drive->identifier(), *chosen);
}

}  // namespace harbormind
