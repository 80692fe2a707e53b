#include "daemon/linux/LinuxLuksService.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "daemon/linux/CryptsetupProcess.h"
#include "daemon/linux/DeviceMapperPresence.h"
#include "daemon/linux/LuksDumpText.h"
#include "platform/linux/disks/BlkidProbe.h"
#include "platform/linux/disks/SysfsBlockDevice.h"
#include "support/Log.h"
#include "xpc/DMLocalDriveStatus.h"

namespace harbormind {
namespace {

std::string cryptsetupProgram() {
    for (const char* path : {"/usr/sbin/cryptsetup", "/sbin/cryptsetup", "/usr/bin/cryptsetup", "/bin/cryptsetup"}) {
        if (::access(path, X_OK) == 0) {
            return path;
        }
    }
    return "/usr/sbin/cryptsetup";
}

std::string sbinFolder() {
    return ::access("/usr/sbin/resize2fs", X_OK) == 0 ? "/usr/sbin" : "/sbin";
}

LuksCommandLines commandsWith(unsigned iterationMilliseconds) {
    LuksCommandLines commands(cryptsetupProgram(), sbinFolder());
    commands.setIterationMilliseconds(iterationMilliseconds);
    return commands;
}

std::string typeOf(const std::string& name) {
    return BlkidProbe::probe("/dev/" + name, ProbeTable::Skip).type.value_or("");
}

bool shrinkable(const std::string& type) {
    return type == "ext2" || type == "ext3" || type == "ext4";
}

// A password cryptsetup reads whole from a pipe; a line feed would end it early where a
// key is read line by line (adding the recovery key).
std::string passwordRefusal(const std::string& password) {
    if (password.empty()) {
        return "An empty password cannot protect a volume";
    }
    if (password.find('\n') != std::string::npos || password.find('\r') != std::string::npos) {
        return "The password cannot contain a line break";
    }
    return {};
}

// cryptsetup holds a device it reencrypts open exclusively, and goes on to the end of its
// step after its daemon died: no second reencryption or recovery may start over it meanwhile.
bool claimedByAnother(const std::string& device) {
    int fd = ::open(device.c_str(), O_RDONLY | O_EXCL | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return false;
    }
    return errno == EBUSY;
}

}  // namespace

LuksServiceShared::LuksServiceShared(std::string headerFolder, unsigned iterationMilliseconds,
                                     EncryptedVolumeAccess::Paths volumePaths)
    : headers(std::move(headerFolder), volumePaths.sysfsRoot),
      commands(commandsWith(iterationMilliseconds)),
      makeRunner([] { return std::make_shared<CryptsetupProcess>(); }),
      paths(volumePaths),
      volumes(commands, makeRunner, volumePaths) {}

LinuxLuksService::LinuxLuksService(std::shared_ptr<LuksServiceShared> shared,
                                   std::shared_ptr<DMBitLockerAppProtocol> callbacks, CallerIdentity caller)
    : shared_(std::move(shared)), callbacks_(std::move(callbacks)), caller_(caller) {}

bool LinuxLuksService::isLuks(const std::string& name) const {
    return typeOf(name) == "crypto_LUKS" || keptHeader(name);
}

std::string LinuxLuksService::headerOf(const std::string& name) const {
    return keptHeader(name) ? shared_->headers.headerPath(name) : std::string();
}

// A header kept for this device, under its name or under the name it had before.
bool LinuxLuksService::keptHeader(const std::string& name) const {
    auto& headers = shared_->headers;
    if (auto former = headers.followMovedDevice(name)) {
        Log::info("luks: the header kept for " + *former + " now goes by " + name + ", the device's new name");
    }
    if (!headers.has(name)) {
        return false;
    }
    // A device that still shows a file system of its own has had none of its data
    // encrypted. The only header that belongs to it records a reencryption about to go on;
    // any other (unreadable, without a key slot, or claiming the whole device encrypted) is
    // what an encryption left that died while making it, before touching the data. Such a
    // header opens nothing (or, worse, would show the plain data as garbage) and would keep
    // the volume from being encrypted: it is put aside.
    std::string type = typeOf(name);
    if (type.empty() || type == "crypto_LUKS" || type == "BitLocker" || aboutToGoOn(name, headers.headerPath(name))) {
        return true;
    }
    if (auto aside = headers.setAside(name)) {
        Log::warning("luks: the unfinished header of " + name + ", whose " + type + " is untouched, was put aside as " +
                     *aside);
        return false;
    }
    return true;
}

bool LinuxLuksService::aboutToGoOn(const std::string& name, const std::string& header) const {
    std::string dump;
    auto result = shared_->makeRunner()->run(shared_->commands.dump("/dev/" + name, header), {},
                                             [&dump](const std::string& line) { dump += line + "\n"; });
    return result.status == 0 && LuksDumpText::keySlots(dump) > 0 && LuksDumpText::needsResume(dump);
}

bool LinuxLuksService::needsResume(const std::string& name) const {
    if (!isLuks(name)) {
        return false;
    }
    std::string dump;
    auto result = shared_->makeRunner()->run(shared_->commands.dump("/dev/" + name, headerOf(name)), {},
                                             [&dump](const std::string& line) { dump += line + "\n"; });
    return result.status == 0 && LuksDumpText::needsResume(dump);
}

// Encrypted, but the job that did it died before its recovery key was added.
bool LinuxLuksService::keyPending(const std::string& name) const {
    return shared_->headers.keyPending(name) && isLuks(name);
}

bool LinuxLuksService::unfinished(const std::string& name) const {
    return needsResume(name) || keyPending(name);
}

void LinuxLuksService::isLuksDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    reply(isLuks(bsdname));
}

void LinuxLuksService::luksDriveStatusWithBsdname(const std::string& bsdname, XPCIntReply reply) {
    DMLocalDriveStatus status = DMLocalDriveStatus::invalid;
    if (shared_->jobs.running(bsdname) || unfinished(bsdname)) {
        status = DMLocalDriveStatus::encrypting;
    } else if (isLuks(bsdname)) {
        status = shared_->volumes.openAs(bsdname) ? DMLocalDriveStatus::unlocked : DMLocalDriveStatus::locked;
    }
    reply(rawValue(status));
}

void LinuxLuksService::needResumeLuksEncryptionWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    reply(!shared_->jobs.running(bsdname) && unfinished(bsdname));
}

std::string LinuxLuksService::inFrontRefusal(const std::string& name) const {
    if (!DeviceMapperPresence::present(shared_->paths.procRoot)) {
        return DeviceMapperPresence::missingReason("Encrypting with the header in front of the data") +
               "; the detached header can be used instead";
    }
    std::string type = typeOf(name);
    if (!shrinkable(type)) {
        return "Only ext2, ext3 and ext4 can be shrunk to make room for the header in front" +
               (type.empty() ? std::string() : " (" + name + " holds " + type + ")") +
               "; the detached header can be used instead";
    }
    auto device = SysfsBlockDevice::read(shared_->paths.sysfsRoot, name);
    if (!device || static_cast<std::uint64_t>(device->sizeBytes) <= 4 * LuksCommandLines::reducedBytes) {
        return name + " is too small to make room for the header in front";
    }
    return {};
}

void LinuxLuksService::luksEncryptionLayoutsWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    std::string type = typeOf(bsdname);
    if (isLuks(bsdname) || type == "BitLocker") {
        reply({0, bsdname + " is encrypted already"});
        return;
    }
    std::string refusal = inFrontRefusal(bsdname);
    reply({refusal.empty() ? detachedHeader | headerInFront : detachedHeader, refusal});
}

void LinuxLuksService::encryptLuksDriveWithBsdname(const std::string& bsdname, const std::string& password,
                                                   bool inFront, XPCCodeReply reply) {
    if (auto refusal = passwordRefusal(password); !refusal.empty()) {
        reply({LuksEncryptionJob::failed, refusal});
        return;
    }
    if (isLuks(bsdname) || typeOf(bsdname) == "BitLocker") {
        reply({LuksEncryptionJob::failed, bsdname + " is encrypted already"});
        return;
    }
    if (inFront) {
        if (auto refusal = inFrontRefusal(bsdname); !refusal.empty()) {
            reply({LuksEncryptionJob::failed, refusal});
            return;
        }
        reply(runJob(bsdname, password, {}, false));
        return;
    }
    auto& headers = shared_->headers;
    if (!headers.prepareFolder()) {
        reply({LuksEncryptionJob::failed, "the daemon's header folder is not safe to use"});
        return;
    }
    if (headers.heldByAnother(bsdname)) {
        reply({LuksEncryptionJob::failed, "a header of another volume is kept as " + headers.headerPath(bsdname) +
                                              "; move it away first"});
        return;
    }
    if (!headers.remember(bsdname)) {
        reply({LuksEncryptionJob::failed, "the identity of " + bsdname + " could not be recorded"});
        return;
    }
    reply(runJob(bsdname, password, headers.headerPath(bsdname), false));
}

void LinuxLuksService::resumeLuksEncryptionWithBsdname(const std::string& bsdname, const std::string& password,
                                                       XPCCodeReply reply) {
    if (password.empty() || !unfinished(bsdname)) {
        reply({LuksEncryptionJob::failed, bsdname + " has no interrupted encryption to resume"});
        return;
    }
    reply(runJob(bsdname, password, headerOf(bsdname), true));
}

XPCCodeAnswer LinuxLuksService::runJob(const std::string& name, const std::string& password,
                                       const std::string& header, bool resume) {
    auto device = SysfsBlockDevice::read(shared_->paths.sysfsRoot, name);
    if (!device || device->sizeBytes <= 0) {
        return {LuksEncryptionJob::failed, name + " has no size"};
    }
    if (claimedByAnother("/dev/" + name)) {
        return {LuksEncryptionJob::failed,
                name + " is held by another program (the step of an interrupted encryption may still be "
                       "finishing); try again once it has let go"};
    }
    LuksJobSetup setup{name, "/dev/" + name, header, password, static_cast<std::uint64_t>(device->sizeBytes),
                       resume, shared_->makeRunner, shared_->commands, callbacks_};
    auto job = std::make_shared<LuksEncryptionJob>(std::move(setup));
    if (!shared_->jobs.claim(name, caller_.uid, job)) {
        return {LuksEncryptionJob::failed, "an encryption of " + name + " is running already"};
    }
    if (!shared_->headers.prepareFolder() || !shared_->headers.markKeyPending(name)) {
        shared_->jobs.release(name);
        return {LuksEncryptionJob::failed, "the daemon's state folder is not safe to use"};
    }
    Log::info("luks: " + std::string(resume ? "resuming" : "starting") + " the encryption of " + name +
              " for uid " + std::to_string(caller_.uid));
    XPCCodeAnswer answer = job->run();
    // Done, or stopped before anything was written: no key is owed.
    if (answer.code == LuksEncryptionJob::done || !isLuks(name)) {
        shared_->headers.clearKeyPending(name);
    }
    shared_->jobs.release(name);
    Log::info("luks: the job on " + name + " ended: " + answer.message);
    return answer;
}

void LinuxLuksService::getLuksRecoveryKeyWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    reply(shared_->jobs.recoveryKey(bsdname, caller_.uid));
}

void LinuxLuksService::getLuksHeaderWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    reply(keptHeader(bsdname) ? shared_->headers.readBase64(bsdname).value_or("") : std::string());
}

void LinuxLuksService::getLuksBSDNameWithBsdname(const std::string& bsdname, XPCStringReply reply) {
    reply(shared_->volumes.openAs(bsdname).value_or(""));
}

void LinuxLuksService::unlockDriveWithBsdname(const std::string& bsdname, const std::string& password, bool readOnly,
                                              XPCCodeReply reply) {
    std::string type = typeOf(bsdname);
    if (type == "BitLocker") {
        reply(shared_->volumes.unlock(bsdname, "bitlk", {}, password, readOnly));
    } else if (isLuks(bsdname)) {
        if (needsResume(bsdname)) {
            reply({EncryptedVolumeAccess::failed, bsdname + " is half encrypted: resume its encryption first"});
            return;
        }
        reply(shared_->volumes.unlock(bsdname, "luks", headerOf(bsdname), password, readOnly));
    } else {
        reply({EncryptedVolumeAccess::failed, bsdname + " holds neither a LUKS nor a BitLocker volume"});
    }
}

void LinuxLuksService::lockDriveWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    if (typeOf(bsdname) != "BitLocker" && !isLuks(bsdname)) {
        reply({EncryptedVolumeAccess::failed, bsdname + " holds neither a LUKS nor a BitLocker volume"});
        return;
    }
    reply(shared_->volumes.lock(bsdname));
}

}  // namespace harbormind
