#include "platform/sim/InProcessXPCTransport.h"

#include <array>
#include <vector>

#include "platform/sim/InProcessClonePairCheck.h"
#include "platform/sim/InProcessDiskToolsService.h"
#include "platform/sim/InProcessMachine.h"
#include "xpc/DMBitLockerAppProtocol.h"
#include "xpc/DMBitLockerServerProtocol.h"
#include "xpc/DMCheckDiskAppProtocol.h"
#include "xpc/DMCheckDiskServerProtocol.h"
#include "xpc/DMDeviceCloneAppProtocol.h"
#include "xpc/DMDeviceCloneServerProtocol.h"
#include "xpc/DMLuksServerProtocol.h"
#include "xpc/DMNtfsServerProtocol.h"
#include "xpc/DMUSBBlockerServerProtocol.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

// Progress statuses on the wire: a copy running, and one that ended.
constexpr std::int64_t statusRunning = 3;
constexpr std::int64_t statusFinished = 4;

std::string flagText(bool flag) {
    return flag ? "true" : "false";
}

// The scenario's progress reports for a device, each [status, total, current, error]; a
// report without its four fields is skipped.
std::vector<std::array<std::int64_t, 4>> scenarioProgress(const InProcessDaemon& daemon, const std::string& key,
                                                          const std::string& device) {
    std::vector<std::array<std::int64_t, 4>> result;
    auto reports = daemon.answer(key, "updateProgressWithStatus", device);
    const PlatformValue::Array* list = reports ? reports->asArray() : nullptr;
    for (const PlatformValue& report : list ? *list : PlatformValue::Array{}) {
        const PlatformValue::Array* fields = report.asArray();
        if (fields && fields->size() == 4) {
            auto field = [&](std::size_t i) { return (*fields)[i].asInteger().value_or(0); };
            result.push_back({field(0), field(1), field(2), field(3)});
        }
    }
    return result;
}

// The scenario's progress reports, sent on the caller's thread while the request runs, as
// the daemon's job does; a report answered non-zero (the user cancelled) ends the job, and
// then the answer is false.
bool sendEncryptionProgress(const InProcessDaemon& daemon, const std::string& key,
                            const std::weak_ptr<XPCInterface>& exported, const std::string& bsdname) {
    auto app = std::dynamic_pointer_cast<DMBitLockerAppProtocol>(exported.lock());
    auto reports = scenarioProgress(daemon, key, bsdname);
    if (!app) {
        return reports.empty();
    }
    for (const auto& [status, total, current, error] : reports) {
        std::int64_t answer = DMBitLockerAppProtocol::unanswered;
        app->updateProgressWithStatus(status, total, current, error,
                                      [&answer](std::int64_t value) { answer = value; });
        // The answer to the last report (finished, 4 on the wire) is the error the caller saw.
        if (answer != 0 && status != 4) {
            return false;
        }
    }
    return true;
}

// A LUKS job stopped by its caller ends as the daemon's does: stopped, not done.
XPCCodeAnswer stoppedByCaller(const std::string& bsdname) {
    return {2, "Encryption of " + bsdname + " stopped by its caller"};
}

// What every simulated service shares: recording and the never-answer behaviour.
class ServiceBase : public virtual XPCInterface {
public:
    ServiceBase(std::shared_ptr<InProcessDaemon> daemon, std::string key)
        : daemon_(std::move(daemon)), key_(std::move(key)) {}

protected:
    // Records the request; true when the daemon is to answer it.
    bool receive(const std::string& method, std::vector<std::string> arguments) {
        daemon_->record({key_, method, std::move(arguments)});
        return daemon_->behaviour(key_) == InProcessDaemonBehaviour::answer;
    }
    bool boolFor(const std::string& method, const std::string& key = {}) const {
        return daemon_->boolAnswer(key_, method, key);
    }
    std::int64_t intFor(const std::string& method, const std::string& key, std::int64_t fallback) const {
        return daemon_->intAnswer(key_, method, key, fallback);
    }
    std::string textFor(const std::string& method, const std::string& key = {}) const {
        return daemon_->textAnswer(key_, method, key);
    }

    std::shared_ptr<InProcessDaemon> daemon_;
    std::string key_;
};

class BitLockerService final : public ServiceBase, public DMBitLockerServerProtocol {
public:
    BitLockerService(std::shared_ptr<InProcessDaemon> daemon, std::string key, std::weak_ptr<XPCInterface> app)
        : ServiceBase(std::move(daemon), std::move(key)), app_(std::move(app)) {}

    void isBitLockerKextAllowedWithReply(XPCBoolReply reply) override {
        if (receive("isBitLockerKextAllowedWithReply", {})) {
            reply(boolFor("isBitLockerKextAllowedWithReply"));
        }
    }
    void isBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override {
        answerBool("isBitLockerDriveWithBsdname", bsdname, reply);
    }
    void isBitLockerEncryptionSupportedWithBsdname(const std::string& bsdname, XPCBoolReply reply) override {
        answerBool("isBitLockerEncryptionSupportedWithBsdname", bsdname, reply);
    }
    void needResumeBitLockerEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) override {
        answerBool("needResumeBitLockerEncryptionWithBsdname", bsdname, reply);
    }
    void lockBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override {
        if (receive("lockBitLockerDriveWithBsdname", {bsdname})) {
            reply(daemon_->lockBitLocker(bsdname));
        }
    }
    void resumeEncryptingBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override {
        if (receive("resumeEncryptingBitLockerDriveWithBsdname", {bsdname})) {
            sendProgress(bsdname);
            reply(boolFor("resumeEncryptingBitLockerDriveWithBsdname", bsdname));
        }
    }
    void getBitLockerRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) override {
        answerText("getBitLockerRecoveryKeyWithBsdname", bsdname, reply);
    }
    void getBitLockerVolumeGUIDWithBsdname(const std::string& bsdname, XPCStringReply reply) override {
        answerText("getBitLockerVolumeGUIDWithBsdname", bsdname, reply);
    }
    void getBitLockerBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) override {
        answerText("getBitLockerBSDNameWithBsdname", bsdname, reply);
    }
    void encryptBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                          XPCBoolReply reply) override {
        if (receive("encryptBitLockerDriveWithBsdname", {bsdname, password})) {
            sendProgress(bsdname);
            reply(boolFor("encryptBitLockerDriveWithBsdname", bsdname));
        }
    }
    void unlockBitLockerDriveWithBsdname(const std::string& bsdname, const std::string& password, bool readOnly,
                                         XPCIntReply reply) override {
        if (receive("unlockBitLockerDriveWithBsdname", {bsdname, password, flagText(readOnly)})) {
            reply(daemon_->unlockBitLocker(bsdname, password));
        }
    }
    void bitLockerDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) override {
        if (receive("bitLockerDriveStatusWithBsdname", {bsdname})) {
            reply(daemon_->bitLockerStatus(bsdname));
        }
    }

private:
    void sendProgress(const std::string& bsdname) { sendEncryptionProgress(*daemon_, key_, app_, bsdname); }

    std::weak_ptr<XPCInterface> app_;

    void answerBool(const std::string& method, const std::string& bsdname, const XPCBoolReply& reply) {
        if (receive(method, {bsdname})) {
            reply(boolFor(method, bsdname));
        }
    }
    void answerText(const std::string& method, const std::string& bsdname, const XPCStringReply& reply) {
        if (receive(method, {bsdname})) {
            reply(textFor(method, bsdname));
        }
    }
};

class LuksService final : public ServiceBase, public DMLuksServerProtocol {
public:
    LuksService(std::shared_ptr<InProcessDaemon> daemon, std::string key, std::weak_ptr<XPCInterface> app)
        : ServiceBase(std::move(daemon), std::move(key)), app_(std::move(app)) {}

    void isLuksDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override {
        if (receive("isLuksDriveWithBsdname", {bsdname})) {
            reply(boolFor("isLuksDriveWithBsdname", bsdname));
        }
    }
    void luksDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) override {
        if (receive("luksDriveStatusWithBsdname", {bsdname})) {
            reply(intFor("luksDriveStatusWithBsdname", bsdname, 0));
        }
    }
    void needResumeLuksEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) override {
        if (receive("needResumeLuksEncryptionWithBsdname", {bsdname})) {
            reply(boolFor("needResumeLuksEncryptionWithBsdname", bsdname));
        }
    }
    void luksEncryptionLayoutsWithBsdname(const std::string& bsdname, XPCCodeReply reply) override {
        answerCode("luksEncryptionLayoutsWithBsdname", {bsdname}, bsdname, 0, reply);
    }
    void encryptLuksDriveWithBsdname(const std::string& bsdname, const std::string& password, bool inFront,
                                     XPCCodeReply reply) override {
        if (receive("encryptLuksDriveWithBsdname", {bsdname, password, flagText(inFront)})) {
            bool completed = sendEncryptionProgress(*daemon_, key_, app_, bsdname);
            reply(completed ? codeFor("encryptLuksDriveWithBsdname", bsdname, -1) : stoppedByCaller(bsdname));
        }
    }
    void resumeLuksEncryptionWithBsdname(const std::string& bsdname, const std::string& password,
                                         XPCCodeReply reply) override {
        if (receive("resumeLuksEncryptionWithBsdname", {bsdname, password})) {
            bool completed = sendEncryptionProgress(*daemon_, key_, app_, bsdname);
            reply(completed ? codeFor("resumeLuksEncryptionWithBsdname", bsdname, -1) : stoppedByCaller(bsdname));
        }
    }
    void getLuksRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) override {
        answerText("getLuksRecoveryKeyWithBsdname", bsdname, reply);
    }
    void getLuksHeaderWithBsdname(const std::string& bsdname, XPCStringReply reply) override {
        answerText("getLuksHeaderWithBsdname", bsdname, reply);
    }
    void getLuksBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) override {
        answerText("getLuksBSDNameWithBsdname", bsdname, reply);
    }
    void unlockDriveWithBsdname(const std::string& bsdname, const std::string& password, bool readOnly,
                                XPCCodeReply reply) override {
        answerCode("unlockDriveWithBsdname", {bsdname, password, flagText(readOnly)}, bsdname, -1, reply);
    }
    void lockDriveWithBsdname(const std::string& bsdname, XPCCodeReply reply) override {
        answerCode("lockDriveWithBsdname", {bsdname}, bsdname, -1, reply);
    }

private:
    // A code answer: the method's number, with the message under "<method>Message".
    XPCCodeAnswer codeFor(const std::string& method, const std::string& bsdname, std::int64_t fallback) const {
        return {intFor(method, bsdname, fallback), textFor(method + "Message", bsdname)};
    }
    void answerCode(const std::string& method, std::vector<std::string> arguments, const std::string& bsdname,
                    std::int64_t fallback, const XPCCodeReply& reply) {
        if (receive(method, std::move(arguments))) {
            reply(codeFor(method, bsdname, fallback));
        }
    }
    void answerText(const std::string& method, const std::string& bsdname, const XPCStringReply& reply) {
        if (receive(method, {bsdname})) {
            reply(textFor(method, bsdname));
        }
    }

    std::weak_ptr<XPCInterface> app_;
};

class NtfsService final : public ServiceBase, public DMNtfsServerProtocol {
public:
    using ServiceBase::ServiceBase;

    void isNtfsKextAllowedWithReply(XPCBoolReply reply) override {
        if (receive("isNtfsKextAllowedWithReply", {})) {
            reply(boolFor("isNtfsKextAllowedWithReply"));
        }
    }
    void setIgnoreHibernateFileWithFlag(bool flag) override { receive("setIgnoreHibernateFileWithFlag", {flagText(flag)}); }
    void setEnableDebugLoggingWithFlag(bool flag) override { receive("setEnableDebugLoggingWithFlag", {flagText(flag)}); }
    void mountAsNTFSNativelyWithBsdName(const std::string& bsdName, XPCIntReply reply) override {
        if (receive("mountAsNTFSNativelyWithBsdName", {bsdName})) {
            reply(intFor("mountAsNTFSNativelyWithBsdName", bsdName, -1));
        }
    }
    // The scenario's answer to the kept mount, with its message; without one, a volume the
    // real daemon refuses to mount is refused here with the same reason.
    void mountNTFSVolumeWithBsdName(const std::string& bsdName, XPCCodeReply reply) override {
        if (!receive("mountNTFSVolumeWithBsdName", {bsdName})) {
            return;
        }
        const std::string kept = "mountAsNTFSNativelyWithBsdName";
        if (daemon_->answer(key_, kept, bsdName) || !InProcessMachine::known()) {
            reply({intFor(kept, bsdName, -1), textFor(kept + "Message", bsdName)});
            return;
        }
        const std::string path = "/dev/" + bsdName;
        if (InProcessMachine::volumeKind(bsdName) != "ntfs") {
            reply({-1, path + " holds no NTFS volume"});
        } else if (!InProcessMachine::mountPoints(bsdName).empty()) {
            reply({-1, path + " is mounted already"});
        } else {
            reply({-1, {}});
        }
    }
};

class CheckDiskService final : public ServiceBase, public DMCheckDiskServerProtocol {
public:
    CheckDiskService(std::shared_ptr<InProcessDaemon> daemon, std::string key, std::weak_ptr<XPCInterface> exported)
        : ServiceBase(std::move(daemon), std::move(key)), exported_(std::move(exported)) {}

    // Yes unless the scenario says otherwise: what an unmount cannot release is not simulated.
    void canRunFirstAidWithArguments(const std::vector<std::string>& arguments, XPCCodeReply reply) override {
        std::string key = arguments.empty() ? std::string() : arguments.back();
        if (receive("canRunFirstAidWithArguments", arguments)) {
            const std::string method = "canRunFirstAidWithArguments";
            reply({intFor(method, key, 0), textFor(method + "Message", key)});
        }
    }

    void firstAidWithArguments(const std::vector<std::string>& arguments, XPCBoolReply reply) override {
        std::string key = arguments.empty() ? std::string() : arguments.back();
        if (!receive("firstAidWithArguments", arguments)) {
            return;
        }
        // Accepted unless the scenario says otherwise or, as the real daemon refuses any
        // device in use, the volume is mounted; as the daemon's, a refused command streams nothing.
        bool accepted = daemon_->answer(key_, "firstAidWithArguments", key)
                            ? boolFor("firstAidWithArguments", key)
                            : InProcessMachine::mountPoints(deviceOf(key)).empty();
        reply(accepted);
        if (!accepted) {
            return;
        }
        // The output streams back to the caller's exported object, as the daemon's does.
        daemon_->runFirstAid(arguments, [exported = exported_](const std::string& info, std::int64_t checkStatus) {
            if (auto app = std::dynamic_pointer_cast<DMCheckDiskAppProtocol>(exported.lock())) {
                app->updateUIWithChekcInfo(info, checkStatus);
            }
        });
    }

private:
    // The device a First Aid command line names: "/dev/NAME" in the NTFS checker's line, the
    // last word of "diskutil repairVolume NAME".
    static std::string deviceOf(const std::string& commandLine) {
        std::string last;
        std::size_t start = 0;
        while (start < commandLine.size()) {
            std::size_t end = commandLine.find(' ', start);
            std::string word = commandLine.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (word.rfind("/dev/", 0) == 0) {
                return word;
            }
            if (!word.empty()) {
                last = word;
            }
            start = end == std::string::npos ? commandLine.size() : end + 1;
        }
        return last;
    }

    std::weak_ptr<XPCInterface> exported_;
};

class DeviceCloneService final : public ServiceBase, public DMDeviceCloneServerProtocol {
public:
    DeviceCloneService(std::shared_ptr<InProcessDaemon> daemon, std::string key,
                       std::weak_ptr<DMDeviceCloneAppProtocol> app)
        : ServiceBase(std::move(daemon), std::move(key)), app_(std::move(app)) {}

    void clonDeviceWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                       bool isCover, XPCIntReply reply) override {
        if (receive("clonDeviceWithStrDestinDevice", {strDestinDevice, strSourceDevice, flagText(isCover)})) {
            std::int64_t code = startAnswer(strDestinDevice, strSourceDevice).code;
            reply(code == 0 ? 0 : -1);
            if (code == 0) {
                sendProgress(strDestinDevice, strSourceDevice);
            }
        }
    }
    void isCloneInterruptDeviceWithStrDevice(const std::string& strDevice, XPCBoolReply reply) override {
        if (receive("isCloneInterruptDeviceWithStrDevice", {strDevice})) {
            reply(boolFor("isCloneInterruptDeviceWithStrDevice", strDevice));
        }
    }
    void getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(const std::string& strDestinDevice,
                                                              XPCStringReply reply) override {
        if (receive("getCloneInterruptSourceDeviceUUIDWithStrDestinDevice", {strDestinDevice})) {
            reply(textFor("getCloneInterruptSourceDeviceUUIDWithStrDestinDevice", strDestinDevice));
        }
    }
    void stopCloneWithFlag(bool flag) override { receive("stopCloneWithFlag", {flagText(flag)}); }
    void checkDiskWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                      XPCIntReply reply) override {
        if (receive("checkDiskWithStrDestinDevice", {strDestinDevice, strSourceDevice})) {
            reply(pairAnswer(strDestinDevice, strSourceDevice).code);
        }
    }
    void isCloneRunningWithStrDestinDevice(const std::string& strDestinDevice, XPCBoolReply reply) override {
        if (receive("isCloneRunningWithStrDestinDevice", {strDestinDevice})) {
            reply(boolFor("isCloneRunningWithStrDestinDevice", strDestinDevice));
        }
    }
    // The reasoned requests answer the codes of the two above, with the text under the
    // selector's name followed by "Message".
    void checkClonePairWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                           XPCCodeReply reply) override {
        if (receive("checkClonePairWithStrDestinDevice", {strDestinDevice, strSourceDevice})) {
            reply(pairAnswer(strDestinDevice, strSourceDevice));
        }
    }
    void startCloneWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                       bool isCover, XPCCodeReply reply) override {
        if (receive("startCloneWithStrDestinDevice", {strDestinDevice, strSourceDevice, flagText(isCover)})) {
            XPCCodeAnswer answer = startAnswer(strDestinDevice, strSourceDevice);
            bool started = answer.code == 0;
            reply(std::move(answer));
            if (started) {
                sendProgress(strDestinDevice, strSourceDevice);
            }
        }
    }

private:
    // The scenario's answer when it has one; otherwise the machine's, as the real pair check
    // decides it.
    XPCCodeAnswer pairAnswer(const std::string& destination, const std::string& source) const {
        if (daemon_->answer(key_, "checkDiskWithStrDestinDevice", destination)) {
            return {intFor("checkDiskWithStrDestinDevice", destination, 0),
                    textFor("checkDiskWithStrDestinDeviceMessage", destination)};
        }
        return InProcessClonePairCheck::check(destination, source);
    }
    XPCCodeAnswer startAnswer(const std::string& destination, const std::string& source) const {
        if (daemon_->answer(key_, "clonDeviceWithStrDestinDevice", destination)) {
            return {intFor("clonDeviceWithStrDestinDevice", destination, 0),
                    textFor("clonDeviceWithStrDestinDeviceMessage", destination)};
        }
        return pairAnswer(destination, source);
    }
    // The scenario's progress reports for this destination, or a copy of the whole source as
    // the real engine reports it (running, then finished with every byte); the end of the
    // clone (its "cloneEndedWithUnreadableBytes" entry, [bytes, reason]) goes just before the last.
    void sendProgress(const std::string& destination, const std::string& source) {
        auto app = app_.lock();
        auto reports = scenarioProgress(*daemon_, key_, destination);
        if (reports.empty() && !daemon_->answer(key_, "updateProgressWithStatus", destination) &&
            InProcessMachine::known()) {
            const std::int64_t total = InProcessMachine::size(source);
            reports = {{statusRunning, total, 0, 0}, {statusFinished, total, total, 0}};
        }
        for (std::size_t i = 0; app && i < reports.size(); ++i) {
            if (i + 1 == reports.size()) {
                sendEnd(*app, destination);
            }
            const auto& [status, total, current, error] = reports[i];
            app->updateProgressWithStatus(status, total, current, error, [](std::int64_t) {});
        }
    }
    void sendEnd(DMDeviceCloneAppProtocol& app, const std::string& destination) {
        auto end = daemon_->answer(key_, "cloneEndedWithUnreadableBytes", destination);
        const PlatformValue::Array* fields = end ? end->asArray() : nullptr;
        if (fields && fields->size() == 2) {
            app.cloneEndedWithUnreadableBytes((*fields)[0].asInteger().value_or(0),
                                              (*fields)[1].asText().value_or(""));
        }
    }

    std::weak_ptr<DMDeviceCloneAppProtocol> app_;
};

// "USB Warden" as the simulated daemon keeps it (InProcessUSBWarden). A scenario's answer
// for addPlistFileWithReply, when it has one, decides that request instead.
class USBBlockerService final : public ServiceBase, public DMUSBBlockerServerProtocol {
public:
    using ServiceBase::ServiceBase;

    void addPlistFileWithReply(XPCBoolReply reply) override {
        if (receive("addPlistFileWithReply", {})) {
            auto scripted = daemon_->answer(key_, "addPlistFileWithReply");
            reply(scripted ? scripted->asBool().value_or(false) && warden().enable() : warden().enable());
        }
    }
    void removePlistFileWithReply(XPCBoolReply reply) override {
        if (receive("removePlistFileWithReply", {})) {
            reply(warden().removeUnit());
        }
    }
    void usbWardenStateWithReply(XPCStringReply reply) override {
        if (receive("usbWardenStateWithReply", {})) {
            reply(warden().stateText());
        }
    }
    void checkUSBWardenPasswordWithPassword(const std::string& password, XPCCodeReply reply) override {
        if (receive("checkUSBWardenPasswordWithPassword", {})) {
            reply(warden().checkPassword(password));
        }
    }
    void setUSBWardenPasswordWithOldPassword(const std::string& oldPassword, const std::string& newPassword,
                                             XPCCodeReply reply) override {
        if (receive("setUSBWardenPasswordWithOldPassword", {})) {
            reply(warden().setPassword(oldPassword, newPassword));
        }
    }
    void disableUSBWardenWithPassword(const std::string& password, XPCCodeReply reply) override {
        if (receive("disableUSBWardenWithPassword", {})) {
            reply(warden().disable(password));
        }
    }
    void setUSBWardenModeWithMode(std::int64_t mode, const std::string& password, XPCCodeReply reply) override {
        if (receive("setUSBWardenModeWithMode", {std::to_string(mode)})) {
            reply(warden().setMode(mode, password));
        }
    }
    void addUSBListEntryWithName(const std::string& name, std::int64_t size, bool white,
                                 XPCCodeReply reply) override {
        if (receive("addUSBListEntryWithName", {name, std::to_string(size), flagText(white)})) {
            reply(warden().changeList(name, size, white, true));
        }
    }
    void removeUSBListEntryWithName(const std::string& name, bool white, XPCCodeReply reply) override {
        if (receive("removeUSBListEntryWithName", {name, flagText(white)})) {
            reply(warden().changeList(name, 0, white, false));
        }
    }
    void allowUSBDiskOnceWithBsdname(const std::string& bsdname, XPCCodeReply reply) override {
        if (receive("allowUSBDiskOnceWithBsdname", {bsdname})) {
            reply(warden().allowOnce(bsdname));
        }
    }

private:
    InProcessUSBWarden& warden() { return daemon_->usbWarden(); }
};

class InProcessConnection final : public XPCConnection {
public:
    InProcessConnection(std::shared_ptr<InProcessDaemon> daemon, std::string key)
        : daemon_(std::move(daemon)), key_(std::move(key)) {}

    bool setExportedObject(std::weak_ptr<XPCInterface> object) override {
        exported_ = object;
        std::shared_ptr<XPCInterface> exported = object.lock();
        if (key_ == "bitlocker" || key_ == "luks") {
            return std::dynamic_pointer_cast<DMBitLockerAppProtocol>(exported) != nullptr;
        }
        if (key_ == "checkDisk") {
            return std::dynamic_pointer_cast<DMCheckDiskAppProtocol>(exported) != nullptr;
        }
        if (key_ == "deviceClone") {
            cloneApp_ = std::dynamic_pointer_cast<DMDeviceCloneAppProtocol>(exported);
            return !cloneApp_.expired();
        }
        return false;
    }
    void setInterruptionHandler(std::function<void()>) override {}
    void setInvalidationHandler(std::function<void()> handler) override { invalidation_ = std::move(handler); }
    void resume() override {
        if (refused() && invalidation_) {
            invalidation_();
        }
    }
    void invalidate() override {}

    std::shared_ptr<XPCInterface> remoteObjectProxyWithErrorHandler(ErrorHandler errorHandler) override {
        if (refused()) {
            if (errorHandler) {
                errorHandler("The connection to service " + key_ + " was invalidated");
            }
            return nullptr;
        }
        if (key_ == "bitlocker") {
            return std::make_shared<BitLockerService>(daemon_, key_, exported_);
        }
        if (key_ == "luks") {
            return std::make_shared<LuksService>(daemon_, key_, exported_);
        }
        if (key_ == "ntfs") {
            return std::make_shared<NtfsService>(daemon_, key_);
        }
        if (key_ == "checkDisk") {
            return std::make_shared<CheckDiskService>(daemon_, key_, exported_);
        }
        if (key_ == "deviceClone") {
            return std::make_shared<DeviceCloneService>(daemon_, key_, cloneApp_);
        }
        if (key_ == "usbBlocker") {
            return std::make_shared<USBBlockerService>(daemon_, key_);
        }
        if (key_ == InProcessDiskToolsService::key) {
            return std::make_shared<InProcessDiskToolsService>(daemon_);
        }
        if (errorHandler) {
            errorHandler("No such service");
        }
        return nullptr;
    }

private:
    bool refused() const {
        return key_.empty() || daemon_->behaviour(key_) == InProcessDaemonBehaviour::failConnection;
    }

    std::shared_ptr<InProcessDaemon> daemon_;
    std::string key_;
    std::function<void()> invalidation_;
    std::weak_ptr<DMDeviceCloneAppProtocol> cloneApp_;
    std::weak_ptr<XPCInterface> exported_;
};

}  // namespace

InProcessXPCTransport::InProcessXPCTransport(std::shared_ptr<InProcessDaemon> daemon) : daemon_(std::move(daemon)) {}

std::shared_ptr<XPCConnection> InProcessXPCTransport::newConnection(const std::string& serviceName) {
    return std::make_shared<InProcessConnection>(daemon_, serviceKey(serviceName));
}

std::string InProcessXPCTransport::serviceKey(const std::string& serviceName) {
    if (serviceName == XPCServiceName::bitLocker) {
        return "bitlocker";
    }
    if (serviceName == XPCServiceName::luks) {
        return "luks";
    }
    if (serviceName == XPCServiceName::ntfs) {
        return "ntfs";
    }
    if (serviceName == XPCServiceName::checkDisk) {
        return "checkDisk";
    }
    if (serviceName == XPCServiceName::deviceClone) {
        return "deviceClone";
    }
    if (serviceName == XPCServiceName::usbBlocker) {
        return "usbBlocker";
    }
    if (serviceName == XPCServiceName::diskTools) {
        return InProcessDiskToolsService::key;
    }
    return {};
}

}  // namespace harbormind
