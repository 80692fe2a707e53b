#include "daemon/linux/LuksEncryptionJob.h"

#include <thread>

#include "daemon/linux/LuksDumpText.h"
#include "daemon/linux/LuksProgressLine.h"
#include "daemon/linux/LuksRecoveryKey.h"
#include "support/Log.h"
#include "xpc/DMProgressError.h"
#include "xpc/DMProgressStatus.h"

namespace harbormind {
namespace {

std::int64_t wire(DMProgressStatus status) {
    return static_cast<std::int64_t>(status);
}

std::int64_t wire(DMProgressError error) {
    return static_cast<std::int64_t>(error);
}

}  // namespace

// The first line the program wrote to standard error, or how it ended when it wrote nothing
// (killed, say).
std::string LuksEncryptionJob::failureText(const CryptsetupRunner::Result& result) {
    std::string line = result.errorText.substr(0, result.errorText.find('\n'));
    if (!line.empty()) {
        return line;
    }
    if (result.signal != 0) {
        return "killed by signal " + std::to_string(result.signal);
    }
    return "ended with status " + std::to_string(result.status) + " and no message";
}

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
    // Nothing is written before the caller has had the recovery key and said go on: a
    // caller that cancels, answers anything else or is gone leaves the volume as it was.
    std::int64_t goAhead = progress_.ask(wire(DMProgressStatus::initialized), total, 0, 0);
    if (goAhead != LuksProgressChannel::goOn) {
        return {stopped, notStartedText(goAhead)};
    }
    std::vector<std::string> command = setup_.commands.encrypt(setup_.device, setup_.header);
    std::string why;
    if (setup_.resume) {
        if (!recoverAfterCrash(why)) {
            return fail(wire(DMProgressError::FVE_ERROR_ENCRYPT_BLOCK), why);
        }
        command = setup_.commands.resume(setup_.device, setup_.header);
    } else if (setup_.header.empty() && !makeRoomInFront(why)) {
        return fail(wire(DMProgressError::FVE_ERROR_DISMOUNT_FS), why);
    }
    // A resume after the reencryption itself finished (its daemon died before the recovery
    // key was added) has only the key left to do.
    bool reencrypted = setup_.resume && !stillNeedsResume();
    keyOnly_ = reencrypted;
    if (reencrypted) {
        progress_.offer(total, total);
    }
    while (!reencrypted) {
        Pass pass = reencrypt(command, why);
        if (pass == Pass::failed) {
            return fail(wire(DMProgressError::FVE_ERROR_ENCRYPT_BLOCK), why + halfEncryptedText());
        }
        if (pass == Pass::completed) {
            reencrypted = true;
            continue;
        }
        // Stopped for a pause or a stop: only an answer of "go on" goes on.
        if (progress_.stopAsked() || progress_.awaitAnswer() != LuksProgressChannel::goOn) {
            return {stopped, "Encryption of " + setup_.name + " stopped; resume it to finish"};
        }
        command = setup_.commands.resume(setup_.device, setup_.header);
    }
    if (!addRecoveryKey(why)) {
        return fail(wire(DMProgressError::FVE_ERROR_CREATE_METADATA), why);
    }
    progress_.ask(wire(DMProgressStatus::finished), total, total, 0);
    std::string recovered = recovered_ ? " (its interrupted reencryption was recovered first)" : "";
    std::string where = setup_.header.empty() ? "" : "; its header is kept at " + setup_.header;
    return {done, setup_.name + " is encrypted with LUKS2" + recovered + where};
}

std::string LuksEncryptionJob::notStartedText(std::int64_t answer) const {
    std::string what = setup_.resume ? "The encryption of " + setup_.name + " was not resumed"
                                     : "Encryption of " + setup_.name + " was not started";
    std::string why = answer == DMBitLockerAppProtocol::unanswered ? ": the caller went away before the go-ahead"
                                                                   : ": cancelled before the go-ahead";
    return what + why + "; nothing changed";
}

// After a failure midway the volume is half encrypted, and only a resume finishes it.
std::string LuksEncryptionJob::halfEncryptedText() {
    return stillNeedsResume() ? "; " + setup_.name + " is half encrypted: resume its encryption to finish it" : "";
}

// cryptsetup killed in the middle of a step (not stopped by a signal it handles) leaves
// that step to be recovered before the reencryption may go on; its own repair does it.
bool LuksEncryptionJob::recoverAfterCrash(std::string& why) {
    if (!LuksDumpText::needsRecovery(dumpText())) {
        return true;
    }
    Log::info("luks: recovering the interrupted reencryption of " + setup_.name);
    auto repaired = setup_.makeRunner()->run(setup_.commands.repair(setup_.device, setup_.header), setup_.password, {});
    if (repaired.status != 0) {
        why = "the interrupted reencryption of " + setup_.name + " could not be recovered: " + failureText(repaired);
        return false;
    }
    recovered_ = true;
    return true;
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
              failureText(shrink);
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
    why = "the encryption of " + setup_.name + " failed: " + failureText(result);
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
        if (progress_.stopAsked() || progress_.heldLongerThan(setup_.pauseGrace)) {
            Log::info("luks: stopping the encryption of " + setup_.name + " where it can resume");
            interrupted = true;
            runner->interrupt();
            return;
        }
    }
}

std::string LuksEncryptionJob::dumpText() {
    std::string dump;
    auto result = setup_.makeRunner()->run(setup_.commands.dump(setup_.device, setup_.header), {},
                                           [&dump](const std::string& line) { dump += line + "\n"; });
    return result.status == 0 ? dump : std::string();
}

// An unreadable header counts as unfinished: success is never assumed.
bool LuksEncryptionJob::stillNeedsResume() {
    std::string dump = dumpText();
    return dump.empty() || LuksDumpText::needsResume(dump);
}

bool LuksEncryptionJob::addRecoveryKey(std::string& why) {
    std::string key = recoveryKey();
    auto added = setup_.makeRunner()->run(setup_.commands.addKey(setup_.device, setup_.header),
                                          setup_.password + "\n" + key + "\n", {});
    if (added.status != 0) {
        why = "the recovery key could not be added: " + failureText(added);
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
