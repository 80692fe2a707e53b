#include "daemon/linux/LinuxUSBBlockerService.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/linux/desktop/LinuxUSBAgentUnit.h"
#include "platform/linux/files/WholeFileWriter.h"
#include "support/Log.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBListsEditor.h"

namespace harbormind {
namespace {

constexpr mode_t unitMode = 0644;

// The file at `path` is a plain file holding exactly `contents` with the unit's mode.
bool isInPlace(const std::string& path, const std::string& contents) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & 07777) != unitMode ||
        info.st_uid != ::geteuid()) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::string found((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return found == contents;
}

std::string waitText(Clock::Duration wait) {
    auto whole = static_cast<long long>(std::ceil(toSeconds(wait)));
    return std::to_string(whole) + (whole == 1 ? " second" : " seconds");
}

XPCCodeAnswer answerFor(USBListsEditResult result) {
    switch (result) {
        case USBListsEditResult::Done:
        case USBListsEditResult::AlreadyListed:
            return {DMUSBBlockerServerProtocol::done, USBListsEditor::message(result)};
        default:
            return {DMUSBBlockerServerProtocol::failed, USBListsEditor::message(result)};
    }
}

}  // namespace

std::string LinuxUSBBlockerService::installedAgentProgram() {
    return HARBORMIND_USBAGENT_PATH;
}

LinuxUSBBlockerService::LinuxUSBBlockerService(std::shared_ptr<LinuxUSBWarden> warden, std::uint32_t caller,
                                               std::string unitPath, std::string agentProgram)
    : warden_(std::move(warden)),
      caller_(caller),
      unitPath_(unitPath.empty() ? LinuxUSBAgentUnit::unitPath() : std::move(unitPath)),
      agentProgram_(agentProgram.empty() ? installedAgentProgram() : std::move(agentProgram)) {}

void LinuxUSBBlockerService::addPlistFileWithReply(XPCBoolReply reply) {
    reply(addPlistFile());
}

void LinuxUSBBlockerService::removePlistFileWithReply(XPCBoolReply reply) {
    reply(removePlistFile());
}

bool LinuxUSBBlockerService::writeUnit() {
    std::string contents = LinuxUSBAgentUnit::contents(agentProgram_);
    // The temporary file is created with the process's umask, then set to 0644 before the
    // rename; whatever stood at the path before (a link included) is replaced, not followed.
    if (!WholeFileWriter::write(unitPath_, contents, unitMode, CreateFolders::Yes)) {
        Log::warning("USB blocker: could not write " + unitPath_);
        return false;
    }
    return isInPlace(unitPath_, contents);
}

bool LinuxUSBBlockerService::removeUnit() {
    // unlink removes a link itself, never what it points to.
    if (::unlink(unitPath_.c_str()) != 0 && errno != ENOENT) {
        Log::warning("USB blocker: could not remove " + unitPath_ + ": " + std::strerror(errno));
        return false;
    }
    struct stat info {};
    return ::lstat(unitPath_.c_str(), &info) != 0 && errno == ENOENT;
}

bool LinuxUSBBlockerService::addPlistFile() {
    USBWardenState state = warden_->store().state();
    if (!state.passwordSet) {
        Log::warning("USB Warden: not turned on, since no password is set");
        return false;
    }
    if (!writeUnit()) {
        return false;
    }
    state.on = true;
    return warden_->store().writeState(state);
}

bool LinuxUSBBlockerService::removePlistFile() {
    if (warden_->store().state().on) {
        Log::warning("USB Warden: the agent's start-up file stays while the Warden is on");
        return false;
    }
    return removeUnit();
}

void LinuxUSBBlockerService::usbWardenStateWithReply(XPCStringReply reply) {
    reply(warden_->store().state().text());
}

std::optional<XPCCodeAnswer> LinuxUSBBlockerService::refusePassword(const std::string& password) {
    USBWardenStore::CheckResult result = warden_->store().check(caller_, password);
    switch (result.check) {
        case USBWardenStore::Check::Correct:
            return std::nullopt;
        case USBWardenStore::Check::NotSet:
            return XPCCodeAnswer{noPassword, "No password is set for USB Warden."};
        case USBWardenStore::Check::Incorrect:
            return XPCCodeAnswer{wrongPassword, std::string(USBBlockerTexts::incorrectPassword) +
                                                    " The next try is possible in " + waitText(result.wait) + "."};
        case USBWardenStore::Check::Wait:
            return XPCCodeAnswer{wrongPassword, "Too many wrong passwords. Try again in " + waitText(result.wait) + "."};
    }
    return XPCCodeAnswer{failed, "the password could not be checked"};
}

void LinuxUSBBlockerService::checkUSBWardenPasswordWithPassword(const std::string& password, XPCCodeReply reply) {
    reply(refusePassword(password).value_or(XPCCodeAnswer{done, "The password is correct."}));
}

void LinuxUSBBlockerService::setUSBWardenPasswordWithOldPassword(const std::string& oldPassword,
                                                                 const std::string& newPassword,
                                                                 XPCCodeReply reply) {
    if (newPassword.empty()) {
        reply({failed, USBBlockerTexts::enterPassword});
        return;
    }
    if (warden_->store().state().passwordSet) {
        if (auto refusal = refusePassword(oldPassword)) {
            reply(*refusal);
            return;
        }
    }
    if (!warden_->store().setPassword(newPassword)) {
        reply({failed, "The password could not be stored."});
        return;
    }
    reply({done, USBBlockerTexts::passwordChanged});
}

void LinuxUSBBlockerService::disableUSBWardenWithPassword(const std::string& password, XPCCodeReply reply) {
    if (auto refusal = refusePassword(password)) {
        reply(*refusal);
        return;
    }
    USBWardenState state = warden_->store().state();
    state.on = false;
    if (!warden_->store().writeState(state)) {
        reply({failed, "USB Warden stays on: its state could not be written."});
        return;
    }
    if (!removeUnit()) {
        reply({failed, "USB Warden is off, but the agent's start-up file " + unitPath_ + " could not be removed."});
        return;
    }
    reply({done, "USB Warden is off."});
}

void LinuxUSBBlockerService::setUSBWardenModeWithMode(std::int64_t mode, const std::string& password,
                                                      XPCCodeReply reply) {
    if (mode != USBWardenState::askEveryTime && mode != USBWardenState::whiteListOnly) {
        reply({failed, "no such mode: " + std::to_string(mode)});
        return;
    }
    if (auto refusal = refusePassword(password)) {
        reply(*refusal);
        return;
    }
    USBWardenState state = warden_->store().state();
    state.mode = static_cast<int>(mode);
    if (!warden_->store().writeState(state)) {
        reply({failed, "The mode could not be written."});
        return;
    }
    reply({done, mode == USBWardenState::whiteListOnly ? USBBlockerTexts::modeWhiteListOnly : USBBlockerTexts::modeAsk});
}

void LinuxUSBBlockerService::addUSBListEntryWithName(const std::string& name, std::int64_t size, bool white,
                                                     XPCCodeReply reply) {
    reply(answerFor(warden_->addEntry(name, size, white)));
}

void LinuxUSBBlockerService::removeUSBListEntryWithName(const std::string& name, bool white, XPCCodeReply reply) {
    reply(answerFor(warden_->removeEntry(name, white)));
}

void LinuxUSBBlockerService::allowUSBDiskOnceWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    reply(warden_->allowOnce(bsdname));
}

}  // namespace harbormind
