#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "support/Clock.h"
#include "usbblocker/USBWardenState.h"

namespace harbormind {

// The daemon's record of "USB Warden" for the whole machine: the state file every user may
// read (on, mode, whether a password is set; mode 0644) and, beside it, the password file
// only root may read (mode 0600), holding the password as a slow salted hash (libsodium's
// crypto_pwhash, Argon2id). Both are root's and written whole.
//
// Wrong passwords slow the next tries down: after the n-th wrong password in a row of one
// caller (their uid, as the bus reports it) no check of theirs is made for 2^(n-1) seconds (at
// most `longestWait`), so guessing costs hours rather than seconds, and one user's wrong
// passwords never hold up another user. A right password ends that caller's count; a new
// password ends every count.
class USBWardenStore {
public:
    static constexpr const char* passwordFileName = "usbwarden.password";
    static constexpr Clock::Duration longestWait = seconds(300);

    enum class Check { Correct, Incorrect, NotSet, Wait };
    struct CheckResult {
        Check check = Check::Incorrect;
        Clock::Duration wait{};  // how long until the next try, for Incorrect and Wait
    };

    // `folder` holds both files ("/var/lib/kestrane").
    explicit USBWardenStore(std::string folder);

    USBWardenState state() const;
    bool writeState(const USBWardenState& state);

    CheckResult check(std::uint32_t caller, const std::string& password);
    // Stores a new password (the state then says one is set); false when it was not written.
    bool setPassword(const std::string& password);

    std::string statePath() const { return folder_ + "/" + USBWardenState::fileName; }
    std::string passwordPath() const { return folder_ + "/" + passwordFileName; }

private:
    bool ensureFolder() const;

    std::string folder_;
    struct WrongTries {
        unsigned failures = 0;
        Clock::TimePoint nextTry{};
    };

    std::mutex mutex_;  // one check or change at a time, so the waits hold for parallel calls
    std::map<std::uint32_t, WrongTries> wrongTries_;
};

}  // namespace harbormind
