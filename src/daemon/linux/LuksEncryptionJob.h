#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "daemon/linux/CryptsetupRunner.h"
#include "daemon/linux/LuksCommandLines.h"
#include "daemon/linux/LuksLayout.h"
#include "daemon/linux/LuksProgressChannel.h"
#include "support/Clock.h"
#include "xpc/DMBitLockerAppProtocol.h"
#include "xpc/XPCCodeAnswer.h"

namespace harbormind {

// What one encryption (or resumption) of one volume needs.
struct LuksJobSetup {
    std::string name;       // the kernel's name, for messages
    std::string device;     // its path
    std::string header;     // the detached header file; empty with the header in front
    std::string password;
    std::uint64_t deviceBytes = 0;
    bool resume = false;
    std::function<std::shared_ptr<CryptsetupRunner>()> makeRunner;
    LuksCommandLines commands;
    std::shared_ptr<DMBitLockerAppProtocol> callbacks;
    // A caller that holds a report longer than this has paused: the work stops where it
    // can be resumed, and goes on when the caller answers.
    Clock::Duration pauseGrace = seconds(2);
};

// Encrypts a volume in place with LUKS2, or finishes an interrupted encryption:
// `initialized` (the recovery key is ready; every job waits there for the caller's go-ahead,
// so a key slot is only ever added for a key the caller has had), the ext2/3/4 shrink for a
// header in front (a resume first recovers a step its cryptsetup died in), the reencryption
// with `running` reports, then the recovery key in a further key slot, both keys tried, and
// `finished`. A pause stops cryptsetup (SIGTERM: it stops where it can resume) and resumes
// it after the answer; a stop, or a caller that is gone, leaves the volume to be resumed.
class LuksEncryptionJob {
public:
    static constexpr std::int64_t done = 0;
    static constexpr std::int64_t failed = 1;
    static constexpr std::int64_t stopped = 2;

    explicit LuksEncryptionJob(LuksJobSetup setup);

    XPCCodeAnswer run();
    std::string recoveryKey() const;

private:
    enum class Pass { completed, interrupted, failed };

    XPCCodeAnswer fail(std::int64_t error, const std::string& message);
    std::string notStartedText(std::int64_t answer) const;
    std::string halfEncryptedText();
    static std::string failureText(const CryptsetupRunner::Result& result);
    bool recoverAfterCrash(std::string& why);
    std::string dumpText();
    bool makeRoomInFront(std::string& why);
    Pass reencrypt(std::vector<std::string> command, std::string& why);
    void watch(const std::shared_ptr<CryptsetupRunner>& runner, const bool& finished, bool& interrupted);
    bool stillNeedsResume();
    bool addRecoveryKey(std::string& why);
    static constexpr int anySlot = -1;
    bool keyOpens(const std::string& key, int slot);

    LuksJobSetup setup_;
    LuksProgressChannel progress_;
    mutable std::mutex mutex_;
    std::string recoveryKey_;
    bool keyOnly_ = false;
    bool recovered_ = false;
};

}  // namespace harbormind
