#include "usbblocker/DMUSBBlockerWrapper.h"

#include "usbblocker/USBBlockerTexts.h"
#include "xpc/DMUSBBlockerServerProtocol.h"
#include "xpc/DaemonCall.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

using P = DMUSBBlockerServerProtocol;

// The answer of a daemon that could not be reached or did not answer in time.
XPCCodeAnswer noAnswer() {
    return {-1, USBBlockerTexts::daemonSilent};
}

}  // namespace

XPCRemoteObject& DMUSBBlockerWrapper::usbBlockerXpcObj() {
    std::lock_guard lock(mutex_);
    if (!usbBlockerXpcObj_) {
        usbBlockerXpcObj_ = std::make_unique<XPCRemoteObject>(XPCServiceName::usbBlocker);
    }
    return *usbBlockerXpcObj_;
}

bool DMUSBBlockerWrapper::addPlistFile() {
    return waitForDaemon<P>(usbBlockerXpcObj(), false, DaemonCallLimit::administrator, "addPlistFileWithReply",
                            [](P& proxy, XPCBoolReply reply) { proxy.addPlistFileWithReply(reply); });
}

bool DMUSBBlockerWrapper::removePlistFile() {
    return waitForDaemon<P>(usbBlockerXpcObj(), false, DaemonCallLimit::administrator, "removePlistFileWithReply",
                            [](P& proxy, XPCBoolReply reply) { proxy.removePlistFileWithReply(reply); });
}

std::optional<USBWardenState> DMUSBBlockerWrapper::state() {
    std::optional<std::string> text = waitForDaemon<P>(
        usbBlockerXpcObj(), std::optional<std::string>(), DaemonCallLimit::query, "usbWardenStateWithReply",
        [](P& proxy, std::function<void(std::optional<std::string>)> reply) {
            proxy.usbWardenStateWithReply([reply](std::string value) { reply(std::move(value)); });
        });
    if (!text || text->empty()) {
        return std::nullopt;
    }
    return USBWardenState::parse(*text);
}

template <typename Call>
XPCCodeAnswer DMUSBBlockerWrapper::codeCall(const char* what, Call&& call) {
    return waitForDaemon<P>(usbBlockerXpcObj(), noAnswer(), DaemonCallLimit::administrator, what,
                            [&call](P& proxy, XPCCodeReply reply) { call(proxy, std::move(reply)); });
}

XPCCodeAnswer DMUSBBlockerWrapper::checkPassword(const std::string& password) {
    return codeCall("checkUSBWardenPasswordWithPassword", [&](P& proxy, XPCCodeReply reply) {
        proxy.checkUSBWardenPasswordWithPassword(password, std::move(reply));
    });
}

XPCCodeAnswer DMUSBBlockerWrapper::setPassword(const std::string& oldPassword, const std::string& newPassword) {
    return codeCall("setUSBWardenPasswordWithOldPassword", [&](P& proxy, XPCCodeReply reply) {
        proxy.setUSBWardenPasswordWithOldPassword(oldPassword, newPassword, std::move(reply));
    });
}

XPCCodeAnswer DMUSBBlockerWrapper::disable(const std::string& password) {
    return codeCall("disableUSBWardenWithPassword", [&](P& proxy, XPCCodeReply reply) {
        proxy.disableUSBWardenWithPassword(password, std::move(reply));
    });
}

XPCCodeAnswer DMUSBBlockerWrapper::setMode(int mode, const std::string& password) {
    return codeCall("setUSBWardenModeWithMode", [&](P& proxy, XPCCodeReply reply) {
        proxy.setUSBWardenModeWithMode(mode, password, std::move(reply));
    });
}

XPCCodeAnswer DMUSBBlockerWrapper::addListEntry(const std::string& name, std::int64_t size, bool white) {
    return codeCall("addUSBListEntryWithName", [&](P& proxy, XPCCodeReply reply) {
        proxy.addUSBListEntryWithName(name, size, white, std::move(reply));
    });
}

XPCCodeAnswer DMUSBBlockerWrapper::removeListEntry(const std::string& name, bool white) {
    return codeCall("removeUSBListEntryWithName", [&](P& proxy, XPCCodeReply reply) {
        proxy.removeUSBListEntryWithName(name, white, std::move(reply));
    });
}

XPCCodeAnswer DMUSBBlockerWrapper::allowOnce(const std::string& bsdName) {
    return codeCall("allowUSBDiskOnceWithBsdname", [&](P& proxy, XPCCodeReply reply) {
        proxy.allowUSBDiskOnceWithBsdname(bsdName, std::move(reply));
    });
}

std::string DMUSBBlockerWrapper::reason(const XPCCodeAnswer& answer) {
    // The daemon answers a call polkit refused with "refused: not authorized"; another
    // refusal (too many calls at once) keeps its own words.
    if (answer.code == P::notPermitted && (answer.message == "refused" || answer.message == "refused: not authorized")) {
        return USBBlockerTexts::notAuthorized;
    }
    return answer.message;
}

}  // namespace harbormind
