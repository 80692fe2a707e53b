#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "xpc/XPCCodeAnswer.h"

namespace harbormind {

// "USB Warden" as the simulated daemon keeps it, in memory, answering as the daemon does:
// the password is checked here, turning it off needs it, a wrong one makes the next try
// wait (the wait is not timed here: the next check is simply refused once), and the lists
// are changed through `listsChange`, which a test binds to the lists file it reads.
class InProcessUSBWarden {
public:
    // Adds (true) or removes an entry of the white (true) or black list.
    using ListsChange = std::function<XPCCodeAnswer(const std::string& name, std::int64_t size, bool white, bool add)>;

    std::string stateText() const;
    bool isOn() const;
    int mode() const;
    std::optional<std::string> password() const;
    bool unitInstalled() const;
    // What the daemon holds at the start (a test's or a scenario's).
    void set(bool on, int mode, std::optional<std::string> password);
    void setListsChange(ListsChange change);

    bool enable();
    bool removeUnit();
    XPCCodeAnswer checkPassword(const std::string& password);
    XPCCodeAnswer setPassword(const std::string& oldPassword, const std::string& newPassword);
    XPCCodeAnswer disable(const std::string& password);
    XPCCodeAnswer setMode(std::int64_t mode, const std::string& password);
    XPCCodeAnswer changeList(const std::string& name, std::int64_t size, bool white, bool add);
    XPCCodeAnswer allowOnce(const std::string& bsdName);
    bool isAllowedOnce(const std::string& bsdName) const;

private:
    std::optional<XPCCodeAnswer> refuse(const std::string& password);

    mutable std::mutex mutex_;
    bool on_ = false;
    int mode_ = 1;
    std::optional<std::string> password_;
    bool unitInstalled_ = false;
    bool waiting_ = false;
    std::set<std::string> allowed_;
    ListsChange listsChange_;
};

}  // namespace harbormind
