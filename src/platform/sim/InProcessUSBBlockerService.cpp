#include "platform/sim/InProcessUSBBlockerService.h"

namespace harbormind {

InProcessUSBWarden& InProcessUSBBlockerService::warden() {
    return daemon_->usbWarden();
}

void InProcessUSBBlockerService::addPlistFileWithReply(XPCBoolReply reply) {
    if (receive("addPlistFileWithReply", {})) {
        auto scripted = daemon_->answer(key_, "addPlistFileWithReply");
        reply(scripted ? scripted->asBool().value_or(false) && warden().enable() : warden().enable());
    }
}

void InProcessUSBBlockerService::removePlistFileWithReply(XPCBoolReply reply) {
    if (receive("removePlistFileWithReply", {})) {
        reply(warden().removeUnit());
    }
}

void InProcessUSBBlockerService::usbWardenStateWithReply(XPCStringReply reply) {
    if (receive("usbWardenStateWithReply", {})) {
        reply(warden().stateText());
    }
}

void InProcessUSBBlockerService::checkUSBWardenPasswordWithPassword(const std::string& password,
                                                                    XPCCodeReply reply) {
    if (receive("checkUSBWardenPasswordWithPassword", {})) {
        reply(warden().checkPassword(password));
    }
}

void InProcessUSBBlockerService::setUSBWardenPasswordWithOldPassword(const std::string& oldPassword,
                                                                     const std::string& newPassword,
                                                                     XPCCodeReply reply) {
    if (receive("setUSBWardenPasswordWithOldPassword", {})) {
        reply(warden().setPassword(oldPassword, newPassword));
    }
}

void InProcessUSBBlockerService::disableUSBWardenWithPassword(const std::string& password, XPCCodeReply reply) {
    if (receive("disableUSBWardenWithPassword", {})) {
        reply(warden().disable(password));
    }
}

void InProcessUSBBlockerService::setUSBWardenModeWithMode(std::int64_t mode, const std::string& password,
                                                          XPCCodeReply reply) {
    if (receive("setUSBWardenModeWithMode", {std::to_string(mode)})) {
        reply(warden().setMode(mode, password));
    }
}

void InProcessUSBBlockerService::addUSBListEntryWithName(const std::string& name, std::int64_t size, bool white,
                                                         XPCCodeReply reply) {
    if (receive("addUSBListEntryWithName", {name, std::to_string(size), flagText(white)})) {
        reply(warden().changeList(name, size, white, true));
    }
}

void InProcessUSBBlockerService::removeUSBListEntryWithName(const std::string& name, bool white,
                                                            XPCCodeReply reply) {
    if (receive("removeUSBListEntryWithName", {name, flagText(white)})) {
        reply(warden().changeList(name, 0, white, false));
    }
}

void InProcessUSBBlockerService::allowUSBDiskOnceWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    if (receive("allowUSBDiskOnceWithBsdname", {bsdname})) {
        reply(warden().allowOnce(bsdname));
    }
}

}  // namespace harbormind
