#include "xpc/InProcessUSBWarden.h"

#include "xpc/DMUSBBlockerServerProtocol.h"

namespace harbormind {

using P = DMUSBBlockerServerProtocol;

std::string InProcessUSBWarden::stateText() const {
    std::lock_guard lock(mutex_);
    return std::string("on = ") + (on_ ? "true" : "false") + "\nmode = " + std::to_string(mode_) +
           "\npassword = " + (password_ ? "true" : "false") + "\n";
}

bool InProcessUSBWarden::isOn() const {
    std::lock_guard lock(mutex_);
    return on_;
}

int InProcessUSBWarden::mode() const {
    std::lock_guard lock(mutex_);
    return mode_;
}

std::optional<std::string> InProcessUSBWarden::password() const {
    std::lock_guard lock(mutex_);
    return password_;
}

bool InProcessUSBWarden::unitInstalled() const {
    std::lock_guard lock(mutex_);
    return unitInstalled_;
}

void InProcessUSBWarden::set(bool on, int mode, std::optional<std::string> password) {
    std::lock_guard lock(mutex_);
    on_ = on;
    unitInstalled_ = on;
    mode_ = mode;
    password_ = std::move(password);
    waiting_ = false;
}

void InProcessUSBWarden::setListsChange(ListsChange change) {
    std::lock_guard lock(mutex_);
    listsChange_ = std::move(change);
}

bool InProcessUSBWarden::enable() {
    std::lock_guard lock(mutex_);
    if (!password_) {
        return false;
    }
    on_ = true;
    unitInstalled_ = true;
    return true;
}

bool InProcessUSBWarden::removeUnit() {
    std::lock_guard lock(mutex_);
    if (on_) {
        return false;
    }
    unitInstalled_ = false;
    return true;
}

std::optional<XPCCodeAnswer> InProcessUSBWarden::refuse(const std::string& password) {
    if (!password_) {
        return XPCCodeAnswer{P::noPassword, "No password is set for USB Warden."};
    }
    if (waiting_) {
        waiting_ = false;
        return XPCCodeAnswer{P::wrongPassword, "Too many wrong passwords. Try again in 1 second."};
    }
    if (password != *password_) {
        waiting_ = true;
        return XPCCodeAnswer{P::wrongPassword, "Incorrect password. The next try is possible in 1 second."};
    }
    return std::nullopt;
}

XPCCodeAnswer InProcessUSBWarden::checkPassword(const std::string& password) {
    std::lock_guard lock(mutex_);
    return refuse(password).value_or(XPCCodeAnswer{P::done, "The password is correct."});
}

XPCCodeAnswer InProcessUSBWarden::setPassword(const std::string& oldPassword, const std::string& newPassword) {
    std::lock_guard lock(mutex_);
    if (newPassword.empty()) {
        return {P::failed, "Please enter a password and try again."};
    }
    if (password_) {
        if (auto refusal = refuse(oldPassword)) {
            return *refusal;
        }
    }
    password_ = newPassword;
    return {P::done, "The password has changed successfully."};
}

XPCCodeAnswer InProcessUSBWarden::disable(const std::string& password) {
    std::lock_guard lock(mutex_);
    if (auto refusal = refuse(password)) {
        return *refusal;
    }
    on_ = false;
    unitInstalled_ = false;
    return {P::done, "USB Warden is off."};
}

XPCCodeAnswer InProcessUSBWarden::setMode(std::int64_t mode, const std::string& password) {
    std::lock_guard lock(mutex_);
    if (mode != 1 && mode != 2) {
        return {P::failed, "no such mode: " + std::to_string(mode)};
    }
    if (auto refusal = refuse(password)) {
        return *refusal;
    }
    mode_ = static_cast<int>(mode);
    return {P::done, "mode changed"};
}

XPCCodeAnswer InProcessUSBWarden::changeList(const std::string& name, std::int64_t size, bool white, bool add) {
    ListsChange change;
    {
        std::lock_guard lock(mutex_);
        change = listsChange_;
    }
    return change ? change(name, size, white, add) : XPCCodeAnswer{P::done, "done"};
}

XPCCodeAnswer InProcessUSBWarden::allowOnce(const std::string& bsdName) {
    std::lock_guard lock(mutex_);
    if (on_ && mode_ != 1) {
        return {P::notPermitted, "Only disks on the white list may mount in this mode"};
    }
    allowed_.insert(bsdName);
    return {P::done, "allowed until it is unplugged"};
}

bool InProcessUSBWarden::isAllowedOnce(const std::string& bsdName) const {
    std::lock_guard lock(mutex_);
    return allowed_.count(bsdName) != 0;
}

}  // namespace harbormind
