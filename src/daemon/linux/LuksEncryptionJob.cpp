#include "daemon/linux/LuksEncryptionJob.h"

#include <thread>

#include "daemon/linux/LuksDumpText.h"
#include "daemon/linux/LuksProgressLine.h"
#include "daemon/linux/LuksRecoveryKey.h"
#include "drivemodel/DMProgressError.h"
#include "drivemodel/DMProgressStatus.h"
#include "support/Log.h"

namespace harbormind {
namespace {

std::int64_t wire(DMProgressStatus status) {
    return static_cast<std::int64_t>(status);
}

std::int64_t wire(DMProgressError error) {
    return static_cast<std::int64_t>(error);
}

std::string firstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    return line.empty() ? "no reason given" : line;
}

}  // namespace

LuksEncryptionJob::LuksEncryptionJob(LuksJobSetup setup) : setup_(std::move(setup)), progress_(setup_.callbacks) {}

std::string LuksEncryptionJob::recoveryKey() const {
    std::lock_guard lock(mutex_);
    return recoveryKey_;
}

XPCCodeAnswer LuksEncryptionJob::fail(std::int64_t error, const std::string& message) {
    Log::warning("luks: " + message);
    auto total = static_cast<std::int64_t>(setup_.deviceBytes);
    progress_.ask(wire(DMProgressStatus::finished), total, 0, error);
    return {failed, message};
}

XPCCodeAnswer LuksEncryptionJob::run() {
    std::string key = LuksRecoveryKey::generate();
    if (key.empty()) {
        return fail(wire(DMProgressError::FVE_ERROR_CREATE_METADATA), "no random recovery key could be made");
    }
    {
        std::lock_guard lock(mutex_);
        recoveryKey_ = key;
    }
    auto total = static_cast<std::int64_t>(setup_.deviceBytes);
    std::vector<std::string> command = setup_.commands.resume(setup_.device, setup_.header);
    if (!setup_.resume) {
        if (progress_.ask(wire(DMProgressStatus::initialized), total, 0, 0) == LuksProgressChannel::cancelAnswer) {
            return {stopped, "Encryption of " + setup_.name + " was cancelled before it started; nothing changed"};
        }
        std::string why;
        if (setup_.header.empty() && !makeRoomInFront(why)) {
            return fail(wire(DMProgressError::FVE_ERROR_DISMOUNT_FS), why);
        }
        command = setup_.commands.encrypt(setup_.device, setup_.header);
    }
    // A resume after the reencryption itself finished (its daemon died before the recovery
    // key was added) has only the key left to do.
    bool reencrypted = setup_.resume && !stillNeedsResume();
    keyOnly_ = reencrypted;
    if (reencrypted) {
        progress_.ask(wire(DMProgressStatus::running), total, total, 0);
    }
    while (!reencrypted) {
        std::string why;
        Pass pass = reencrypt(command, why);
        if (pass == Pass::failed) {
            return fail(wire(DMProgressError::FVE_ERROR_ENCRYPT_BLOCK), why);
        }
        if (pass == Pass::completed) {
            reencrypted = true;
            continue;
        }
        // Stopped for a pause or a cancel: the caller's answer decides.
        if (progress_.cancelled() || progress_.awaitAnswer() == LuksProgressChannel::cancelAnswer) {
            return {stopped, "Encryption of " + setup_.name + " stopped; resume it to finish"};
        }
        command = setup_.commands.resume(setup_.device, setup_.header);
    }
    std::string why;
    if (!addRecoveryKey(why)) {
        return fail(wire(DMProgressError::FVE_ERROR_CREATE_METADATA), why);
    }
    progress_.ask(wire(DMProgressStatus::finished), total, total, 0);
    std::string where = setup_.header.empty() ? "" : "; its header is kept at " + setup_.header;
    return {done, setup_.name + " is encrypted with LUKS2" + where};
}

bool LuksEncryptionJob::makeRoomInFront(std::string& why) {
    auto runner = setup_.makeRunner();
    auto check = runner->run(setup_.commands.checkBeforeShrink(setup_.device), {}, {});
    // e2fsck: 0 clean, 1 errors corrected.
    if (check.status != 0 && check.status != 1) {
        why = "the file system of " + setup_.name + " has errors that must be repaired first";
        return false;
    }
    auto shrink = setup_.makeRunner()->run(setup_.commands.shrink(setup_.device, setup_.deviceBytes), {}, {});
    if (shrink.status != 0) {
        why = "the file system of " + setup_.name + " could not be shrunk to make room for the header: " +
              firstLine(shrink.errorText);
        return false;
    }
    return true;
}

LuksEncryptionJob::Pass LuksEncryptionJob::reencrypt(std::vector<std::string> command, std::string& why) {
    auto runner = setup_.makeRunner();
    bool finished = false;
    bool interrupted = false;
    std::thread watcher([&] { watch(runner, finished, interrupted); });
    auto result = runner->run(command, setup_.password, [this](const std::string& line) {
        if (auto report = LuksProgressLine::parse(line)) {
            progress_.offer(static_cast<std::int64_t>(report->total), static_cast<std::int64_t>(report->done));
        }
    });
    {
        std::lock_guard lock(mutex_);
        finished = true;
    }
    Clock::current().notifyAll();
    watcher.join();
    if (result.status == 0 && !stillNeedsResume()) {
        return Pass::completed;
    }
    if (interrupted && stillNeedsResume()) {
        return Pass::interrupted;
    }
    why = "the encryption of " + setup_.name + " failed: " + firstLine(result.errorText);
    return Pass::failed;
}

// Stops cryptsetup when the caller cancels, or holds a report long enough to mean a pause.
void LuksEncryptionJob::watch(const std::shared_ptr<CryptsetupRunner>& runner, const bool& finished,
                              bool& interrupted) {
    for (;;) {
        Clock::current().waitUntil(
            [&] {
                std::lock_guard lock(mutex_);
                return finished;
            },
            Clock::current().now() + seconds(0.25));
        {
            std::lock_guard lock(mutex_);
            if (finished) {
                return;
            }
        }
        if (progress_.cancelled() || progress_.heldLongerThan(setup_.pauseGrace)) {
            Log::info("luks: stopping the encryption of " + setup_.name + " where it can resume");
            interrupted = true;
            runner->interrupt();
            return;
        }
    }
}

bool LuksEncryptionJob::stillNeedsResume() {
    std::string dump;
    auto result = setup_.makeRunner()->run(setup_.commands.dump(setup_.device, setup_.header), {},
                                           [&dump](const std::string& line) { dump += line + "\n"; });
    return result.status != 0 || LuksDumpText::needsResume(dump);
}

bool LuksEncryptionJob::addRecoveryKey(std::string& why) {
    std::string key = recoveryKey();
    auto added = setup_.makeRunner()->run(setup_.commands.addKey(setup_.device, setup_.header),
                                          setup_.password + "\n" + key + "\n", {});
    if (added.status != 0) {
        why = "the recovery key could not be added: " + firstLine(added.errorText);
        return false;
    }
    // After a dead job, slot 1 may hold the key it added but never showed: the new key
    // goes to the next free slot.
    if (!keyOpens(setup_.password, 0) || !keyOpens(key, keyOnly_ ? anySlot : 1)) {
        why = "the encrypted volume " + setup_.name + " does not open with its password and recovery key";
        return false;
    }
    return true;
}

bool LuksEncryptionJob::keyOpens(const std::string& key, int slot) {
    return setup_.makeRunner()->run(setup_.commands.testKey(setup_.device, setup_.header, slot), key, {}).status == 0;
}

}  // namespace harbormind
