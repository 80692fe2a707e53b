#include "daemon/DaemonMethodTable.h"

#include "daemon/DiskToolsMethods.h"
#include "support/Log.h"
#include "xpc/DMCheckStatus.h"
#include "xpc/DMLocalDriveStatus.h"
#include "xpc/NtfsMountResult.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

using Args = std::vector<DaemonValue>;
using R = ArgumentRole;
constexpr DaemonAction query = DaemonAction::query;
constexpr DaemonAction unlock = DaemonAction::unlock;
constexpr DaemonAction encrypt = DaemonAction::encrypt;
constexpr DaemonAction perDevice = DaemonAction::perDevice;
constexpr std::int64_t statusInvalid = rawValue(DMLocalDriveStatus::invalid);
// A refused pair check must not read as `noError`: it reads as "cannot open the source".
constexpr std::int64_t cloneCheckRefused = 1;

const std::string& text(const Args& args, std::size_t index) {
    return std::get<std::string>(args[index]);
}

bool flag(const Args& args, std::size_t index) {
    return std::get<bool>(args[index]);
}

template <typename T>
std::function<void(T)> as(DaemonReply reply) {
    return [reply = std::move(reply)](T value) { reply(DaemonValue(std::move(value))); };
}

std::shared_ptr<DMBitLockerServerProtocol> bitLocker(DaemonBackend& backend, const DaemonCallContext& context) {
    return backend.bitLocker(std::dynamic_pointer_cast<DMBitLockerAppProtocol>(context.callbacks));
}

DriveMountCaller mountCaller(const DaemonCallContext& context) {
    return {context.caller.uid, context.authorizedFor};
}

std::shared_ptr<DMDeviceCloneServerProtocol> clone(DaemonBackend& backend, const DaemonCallContext& context) {
    return backend.deviceClone(std::dynamic_pointer_cast<DMDeviceCloneAppProtocol>(context.callbacks));
}

std::function<void(XPCCodeAnswer)> asCode(DaemonReply reply) {
    return [reply = std::move(reply)](XPCCodeAnswer answer) {
        reply(DaemonValue(std::move(answer)));
    };
}

// A BitLocker method taking the device name and answering T.
template <typename T>
DaemonMethod bitLockerByName(std::string name, DaemonAction action, R role, T fallback,
                             void (DMBitLockerServerProtocol::*call)(const std::string&, std::function<void(T)>)) {
    std::string output = std::is_same_v<T, bool> ? "b" : std::is_same_v<T, std::string> ? "s" : "x";
    return {XPCServiceName::bitLocker, std::move(name), "s", output, action, {role}, DaemonValue(fallback),
            [call](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
                ((*bitLocker(backend, context)).*call)(text(args, 0), as<T>(std::move(reply)));
            }};
}

std::vector<DaemonMethod> bitLockerMethods() {
    using P = DMBitLockerServerProtocol;
    return {
        {XPCServiceName::bitLocker, "isBitLockerKextAllowedWithReply", "", "b", query, {}, DaemonValue(false),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args&, DaemonReply reply) {
             bitLocker(backend, context)->isBitLockerKextAllowedWithReply(as<bool>(std::move(reply)));
         }},
        bitLockerByName<bool>("isBitLockerDriveWithBsdname", query, R::deviceName, false, &P::isBitLockerDriveWithBsdname),
        bitLockerByName<bool>("isBitLockerEncryptionSupportedWithBsdname", query, R::deviceName, false,
                              &P::isBitLockerEncryptionSupportedWithBsdname),
        bitLockerByName<bool>("needResumeBitLockerEncryptionWithBsdname", query, R::deviceName, false,
                              &P::needResumeBitLockerEncryptionWithBsdname),
        bitLockerByName<bool>("lockBitLockerDriveWithBsdname", unlock, R::deviceName, false,
                              &P::lockBitLockerDriveWithBsdname),
        bitLockerByName<bool>("resumeEncryptingBitLockerDriveWithBsdname", encrypt, R::overwrittenName, false,
                              &P::resumeEncryptingBitLockerDriveWithBsdname),
        // The recovery key is a secret: reading it is an action.
        bitLockerByName<std::string>("getBitLockerRecoveryKeyWithBsdname", encrypt, R::deviceName, std::string(),
                                     &P::getBitLockerRecoveryKeyWithBsdname),
        bitLockerByName<std::string>("getBitLockerVolumeGUIDWithBsdname", query, R::deviceName, std::string(),
                                     &P::getBitLockerVolumeGUIDWithBsdname),
        bitLockerByName<std::string>("getBitLockerBSDNameWithBsdname", query, R::deviceName, std::string(),
                                     &P::getBitLockerBSDNameWithBsdname),
        {XPCServiceName::bitLocker, "encryptBitLockerDriveWithBsdname", "ss", "b", encrypt,
         {R::overwrittenName, R::secret}, DaemonValue(false),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             bitLocker(backend, context)->encryptBitLockerDriveWithBsdname(text(args, 0), text(args, 1),
                                                                           as<bool>(std::move(reply)));
         }},
        {XPCServiceName::bitLocker, "unlockBitLockerDriveWithBsdname", "ssb", "x", unlock,
         {R::deviceName, R::secret, R::plain}, DaemonValue(std::int64_t{-1}),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             bitLocker(backend, context)->unlockBitLockerDriveWithBsdname(text(args, 0), text(args, 1), flag(args, 2),
                                                                          as<std::int64_t>(std::move(reply)));
         }},
        bitLockerByName<std::int64_t>("bitLockerDriveStatusWithBsdname", query, R::deviceName, statusInvalid,
                                      &P::bitLockerDriveStatusWithBsdname),
    };
}

std::vector<DaemonMethod> ntfsMethods() {
    return {
        {XPCServiceName::ntfs, "isNtfsKextAllowedWithReply", "", "b", query, {}, DaemonValue(false),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args&, DaemonReply reply) {
             backend.ntfs(context.caller)->isNtfsKextAllowedWithReply(as<bool>(std::move(reply)));
         }},
        // Settings of the daemon's own, not of a device: allowed like a question.
        {XPCServiceName::ntfs, "setIgnoreHibernateFileWithFlag", "b", "", query, {R::plain}, std::nullopt,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply) {
             backend.ntfs(context.caller)->setIgnoreHibernateFileWithFlag(flag(args, 0));
         }},
        {XPCServiceName::ntfs, "setEnableDebugLoggingWithFlag", "b", "", query, {R::plain}, std::nullopt,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply) {
             backend.ntfs(context.caller)->setEnableDebugLoggingWithFlag(flag(args, 0));
         }},
        // Mounting for the caller: the mount service's rules decide which action the device needs.
        {XPCServiceName::ntfs, "mountAsNTFSNativelyWithBsdName", "s", "x", perDevice, {R::deviceName},
         DaemonValue(std::int64_t{-1}),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             if (backend.mountRefusal(text(args, 0))) {
                 reply(DaemonValue(std::int64_t{-1}));
                 return;
             }
             if (auto refusal = backend.driveMount()->mountRefusal(text(args, 0), mountCaller(context));
                 !refusal.empty()) {
                 Log::warning("refused mountAsNTFSNativelyWithBsdName from uid " + std::to_string(context.caller.uid) +
                              ": " + refusal);
                 reply(DaemonValue(std::int64_t{-1}));
                 return;
             }
             backend.ntfs(context.caller)->mountAsNTFSNativelyWithBsdName(text(args, 0), as<std::int64_t>(std::move(reply)));
         }},
        // Of our own: the same mount answered with what was done, or why not.
        {XPCServiceName::ntfs, "mountNTFSVolumeWithBsdName", "s", "xs", perDevice, {R::deviceName},
         DaemonValue(CodeResult{NtfsMountResult::notPermitted, "refused"}),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             if (auto refusal = backend.mountRefusal(text(args, 0))) {
                 reply(CodeResult{NtfsMountResult::notPermitted, *refusal});
                 return;
             }
             if (auto refusal = backend.driveMount()->mountRefusal(text(args, 0), mountCaller(context));
                 !refusal.empty()) {
                 Log::warning("refused mountNTFSVolumeWithBsdName from uid " + std::to_string(context.caller.uid) +
                              ": " + refusal);
                 reply(CodeResult{NtfsMountResult::notPermitted, refusal});
                 return;
             }
             backend.ntfs(context.caller)->mountNTFSVolumeWithBsdName(text(args, 0), asCode(std::move(reply)));
         }},
    };
}

std::vector<DaemonMethod> checkDiskMethods() {
    return {
        {XPCServiceName::checkDisk, "firstAidWithArguments", "as", "b", DaemonAction::check, {R::firstAidArguments},
         DaemonValue(false),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args&, DaemonReply reply) {
             backend.checkDisk()->firstAid(*context.firstAid,
                                           std::dynamic_pointer_cast<DMCheckDiskAppProtocol>(context.callbacks),
                                           as<bool>(std::move(reply)));
         },
         // A refused check streams nothing: its end says why.
         [](const std::shared_ptr<XPCInterface>& callbacks, const std::string& reason) {
             if (auto stream = std::dynamic_pointer_cast<DMCheckDiskAppProtocol>(callbacks)) {
                 stream->updateUIWithChekcInfo("refused: " + reason,
                                               static_cast<std::int64_t>(DMCheckStatus::checkStop));
             }
         }},
        // Of our own: asked before the volume is unmounted for a run, so that a refused caller
        // or a device held by something else leaves the volume as it was.
        {XPCServiceName::checkDisk, "canRunFirstAidWithArguments", "as", "xs", DaemonAction::check, {R::firstAidToCome},
         DaemonValue(CodeResult{13, "refused"}),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args&, DaemonReply reply) {
             XPCCodeAnswer answer = backend.checkDisk()->canRun(*context.firstAid);
             reply(DaemonValue(std::move(answer)));
         }},
    };
}

std::vector<DaemonMethod> deviceCloneMethods() {
    return {
        {XPCServiceName::deviceClone, "clonDeviceWithStrDestinDevice", "ssb", "x", DaemonAction::clone,
         {R::overwrittenPath, R::devicePath, R::plain}, DaemonValue(std::int64_t{-1}),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             clone(backend, context)->clonDeviceWithStrDestinDevice(text(args, 0), text(args, 1), flag(args, 2),
                                                                     as<std::int64_t>(std::move(reply)));
         }},
        {XPCServiceName::deviceClone, "isCloneInterruptDeviceWithStrDevice", "s", "b", query, {R::devicePath},
         DaemonValue(false),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             clone(backend, context)->isCloneInterruptDeviceWithStrDevice(text(args, 0), as<bool>(std::move(reply)));
         }},
        {XPCServiceName::deviceClone, "getCloneInterruptSourceDeviceUUIDWithStrDestinDevice", "s", "s", query,
         {R::devicePath}, DaemonValue(std::string()),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             clone(backend, context)->getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(
                 text(args, 0), as<std::string>(std::move(reply)));
         }},
        {XPCServiceName::deviceClone, "stopCloneWithFlag", "b", "", DaemonAction::clone, {R::plain}, std::nullopt,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply) {
             clone(backend, context)->stopCloneWithFlag(flag(args, 0));
         }},
        {XPCServiceName::deviceClone, "checkDiskWithStrDestinDevice", "ss", "x", query, {R::devicePath, R::devicePath},
         DaemonValue(cloneCheckRefused),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             clone(backend, context)->checkDiskWithStrDestinDevice(text(args, 0), text(args, 1),
                                                                    as<std::int64_t>(std::move(reply)));
         }},
        // Of our own: the same two requests answered with the reason a person needs.
        {XPCServiceName::deviceClone, "checkClonePairWithStrDestinDevice", "ss", "xs", query,
         {R::devicePath, R::devicePath}, DaemonValue(CodeResult{cloneCheckRefused, "refused"}),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             clone(backend, context)->checkClonePairWithStrDestinDevice(text(args, 0), text(args, 1),
                                                                         asCode(std::move(reply)));
         }},
        {XPCServiceName::deviceClone, "isCloneRunningWithStrDestinDevice", "s", "b", query, {R::devicePath},
         DaemonValue(false),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             clone(backend, context)->isCloneRunningWithStrDestinDevice(text(args, 0), as<bool>(std::move(reply)));
         }},
        {XPCServiceName::deviceClone, "startCloneWithStrDestinDevice", "ssb", "xs", DaemonAction::clone,
         {R::overwrittenPath, R::devicePath, R::plain}, DaemonValue(CodeResult{-1, "refused"}),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             clone(backend, context)->startCloneWithStrDestinDevice(text(args, 0), text(args, 1), flag(args, 2),
                                                                     asCode(std::move(reply)));
         }},
    };
}

std::shared_ptr<DMUSBBlockerServerProtocol> usb(DaemonBackend& backend, const DaemonCallContext& context) {
    return backend.usbBlocker(context.caller);
}

std::int64_t number(const Args& args, std::size_t index) {
    return std::get<std::int64_t>(args[index]);
}

// The Warden's own methods: its password is checked by the daemon; changing its state or
// the lists is an administrator's action, allowing a disk once in the asking mode is the
// user's (like mounting it).
std::vector<DaemonMethod> usbWardenMethods() {
    const DaemonValue refused = CodeResult{DMUSBBlockerServerProtocol::notPermitted, "refused"};
    return {
        {XPCServiceName::usbBlocker, "usbWardenStateWithReply", "", "s", query, {}, DaemonValue(std::string()),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args&, DaemonReply reply) {
             usb(backend, context)->usbWardenStateWithReply(as<std::string>(std::move(reply)));
         }},
        {XPCServiceName::usbBlocker, "checkUSBWardenPasswordWithPassword", "s", "xs", query, {R::secret}, refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             usb(backend, context)->checkUSBWardenPasswordWithPassword(text(args, 0), asCode(std::move(reply)));
         }},
        {XPCServiceName::usbBlocker, "setUSBWardenPasswordWithOldPassword", "ss", "xs", DaemonAction::usbWarden, {R::secret, R::secret},
         refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             usb(backend, context)->setUSBWardenPasswordWithOldPassword(text(args, 0), text(args, 1), asCode(std::move(reply)));
         }},
        {XPCServiceName::usbBlocker, "disableUSBWardenWithPassword", "s", "xs", DaemonAction::usbWarden, {R::secret}, refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             usb(backend, context)->disableUSBWardenWithPassword(text(args, 0), asCode(std::move(reply)));
         }},
        {XPCServiceName::usbBlocker, "setUSBWardenModeWithMode", "xs", "xs", DaemonAction::usbWarden, {R::plain, R::secret}, refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             usb(backend, context)->setUSBWardenModeWithMode(number(args, 0), text(args, 1), asCode(std::move(reply)));
         }},
        {XPCServiceName::usbBlocker, "addUSBListEntryWithName", "sxb", "xs", DaemonAction::usbLists, {R::listedName, R::plain, R::plain},
         refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             usb(backend, context)->addUSBListEntryWithName(text(args, 0), number(args, 1), flag(args, 2),
                                                   asCode(std::move(reply)));
         }},
        {XPCServiceName::usbBlocker, "removeUSBListEntryWithName", "sb", "xs", DaemonAction::usbLists, {R::listedName, R::plain},
         refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             usb(backend, context)->removeUSBListEntryWithName(text(args, 0), flag(args, 1), asCode(std::move(reply)));
         }},
        {XPCServiceName::usbBlocker, "allowUSBDiskOnceWithBsdname", "s", "xs", DaemonAction::mountRemovable, {R::deviceName},
         refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             usb(backend, context)->allowUSBDiskOnceWithBsdname(text(args, 0), asCode(std::move(reply)));
         }},
    };
}

std::vector<DaemonMethod> usbBlockerMethods() {
    return {
        {XPCServiceName::usbBlocker, "addPlistFileWithReply", "", "b", DaemonAction::usbWarden, {}, DaemonValue(false),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args&, DaemonReply reply) {
             backend.usbBlocker(context.caller)->addPlistFileWithReply(as<bool>(std::move(reply)));
         }},
        {XPCServiceName::usbBlocker, "removePlistFileWithReply", "", "b", DaemonAction::usbWarden, {}, DaemonValue(false),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args&, DaemonReply reply) {
             backend.usbBlocker(context.caller)->removePlistFileWithReply(as<bool>(std::move(reply)));
         }},
    };
}


// Of our own: mounting, unmounting and ejecting for the caller. No argument names a folder:
// the daemon chooses where a volume goes, and which action each device needs.
std::vector<DaemonMethod> mountMethods() {
    const DaemonValue refused = CodeResult{DriveMountBackend::notPermitted, "refused"};
    return {
        {XPCServiceName::mount, "mountVolume", "s", "xs", perDevice, {R::deviceName}, refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             if (auto refusal = backend.mountRefusal(text(args, 0))) {
                 reply(CodeResult{DriveMountBackend::notPermitted, *refusal});
                 return;
             }
             reply(backend.driveMount()->mountVolume(text(args, 0), mountCaller(context)));
         }},
        {XPCServiceName::mount, "unmountVolume", "sbb", "xs", perDevice, {R::deviceName, R::plain, R::plain}, refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             reply(backend.driveMount()->unmountVolume(text(args, 0), flag(args, 1), flag(args, 2),
                                                       mountCaller(context)));
         }},
        {XPCServiceName::mount, "ejectDisk", "s", "xs", perDevice, {R::deviceName}, refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             reply(backend.driveMount()->ejectDisk(text(args, 0), mountCaller(context)));
         }},
        // The image is a file the caller opened: the daemon never opens a path for them.
        {XPCServiceName::mount, "attachDiskImage", "hb", "xs", DaemonAction::attachImage, {R::openFile, R::plain},
         refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             reply(backend.driveMount()->attachImage(std::get<DaemonFileDescriptor>(args[0]), flag(args, 1),
                                                     mountCaller(context)));
         }},
    };
}

std::shared_ptr<DMLuksServerProtocol> luks(DaemonBackend& backend, const DaemonCallContext& context) {
    return backend.luks(std::dynamic_pointer_cast<DMBitLockerAppProtocol>(context.callbacks), context.caller);
}

// A method of the encrypted-volume service taking the device name and answering T.
template <typename T>
DaemonMethod luksByName(std::string name, DaemonAction action, T fallback,
                        void (DMLuksServerProtocol::*call)(const std::string&, std::function<void(T)>)) {
    std::string output = std::is_same_v<T, bool> ? "b" : std::is_same_v<T, std::string> ? "s" : "x";
    return {XPCServiceName::luks, std::move(name), "s", output, action, {R::deviceName}, DaemonValue(fallback),
            [call](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
                ((*luks(backend, context)).*call)(text(args, 0), as<T>(std::move(reply)));
            }};
}

// Of our own: LUKS2 encryption in place, and unlocking and locking LUKS and BitLocker
// volumes. Encrypting writes over the whole volume: an administrator's action on an
// unused device, like the clone's destination.
std::vector<DaemonMethod> luksMethods() {
    using P = DMLuksServerProtocol;
    const DaemonValue refused = CodeResult{-1, "refused"};
    return {
        luksByName<bool>("isLuksDriveWithBsdname", query, false, &P::isLuksDriveWithBsdname),
        luksByName<std::int64_t>("luksDriveStatusWithBsdname", query, statusInvalid, &P::luksDriveStatusWithBsdname),
        luksByName<bool>("needResumeLuksEncryptionWithBsdname", query, false, &P::needResumeLuksEncryptionWithBsdname),
        {XPCServiceName::luks, "luksEncryptionLayoutsWithBsdname", "s", "xs", query, {R::deviceName},
         DaemonValue(CodeResult{0, "refused"}),
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             luks(backend, context)->luksEncryptionLayoutsWithBsdname(text(args, 0), asCode(std::move(reply)));
         }},
        {XPCServiceName::luks, "encryptLuksDriveWithBsdname", "ssb", "xs", encrypt,
         {R::overwrittenName, R::secret, R::plain}, refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             luks(backend, context)->encryptLuksDriveWithBsdname(text(args, 0), text(args, 1), flag(args, 2),
                                                                 asCode(std::move(reply)));
         }},
        {XPCServiceName::luks, "resumeLuksEncryptionWithBsdname", "ss", "xs", encrypt, {R::overwrittenName, R::secret},
         refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             luks(backend, context)->resumeLuksEncryptionWithBsdname(text(args, 0), text(args, 1),
                                                                     asCode(std::move(reply)));
         }},
        // The recovery key and the header are the volume's secrets: reading them is an action.
        luksByName<std::string>("getLuksRecoveryKeyWithBsdname", encrypt, std::string(), &P::getLuksRecoveryKeyWithBsdname),
        luksByName<std::string>("getLuksHeaderWithBsdname", encrypt, std::string(), &P::getLuksHeaderWithBsdname),
        luksByName<std::string>("getLuksBSDNameWithBsdname", query, std::string(), &P::getLuksBSDNameWithBsdname),
        {XPCServiceName::luks, "unlockDriveWithBsdname", "ssb", "xs", unlock, {R::deviceName, R::secret, R::plain},
         refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             luks(backend, context)->unlockDriveWithBsdname(text(args, 0), text(args, 1), flag(args, 2),
                                                            asCode(std::move(reply)));
         }},
        {XPCServiceName::luks, "lockDriveWithBsdname", "s", "xs", unlock, {R::deviceName}, refused,
         [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
             luks(backend, context)->lockDriveWithBsdname(text(args, 0), asCode(std::move(reply)));
         }},
    };
}

// Of our own: installing an update. The package and its signature are files the caller
// opened; the daemon checks the signature on its own copy, which it installs.
std::vector<DaemonMethod> updateMethods() {
    return {
        {XPCServiceName::update, "installUpdatePackage", "hh", "xs", DaemonAction::installUpdate,
         {R::openFile, R::openFile}, DaemonValue(CodeResult{1, "refused"}),
         [](DaemonBackend& backend, const DaemonCallContext&, const Args& args, DaemonReply reply) {
             reply(backend.installUpdate(std::get<DaemonFileDescriptor>(args[0]),
                                         std::get<DaemonFileDescriptor>(args[1])));
         }},
    };
}

std::vector<DaemonMethod> everyMethod() {
    std::vector<DaemonMethod> methods;
    for (auto part : {bitLockerMethods(), ntfsMethods(), checkDiskMethods(), deviceCloneMethods(), usbBlockerMethods(),
                      usbWardenMethods(), luksMethods(), updateMethods(), mountMethods(),
                      DiskToolsMethods::all()}) {
        methods.insert(methods.end(), part.begin(), part.end());
    }
    return methods;
}

}  // namespace

const std::vector<DaemonMethod>& DaemonMethodTable::all() {
    static const auto* methods = new std::vector<DaemonMethod>(everyMethod());
    return *methods;
}

const DaemonMethod* DaemonMethodTable::find(const std::string& serviceName, const std::string& name) {
    for (const auto& method : all()) {
        if (method.serviceName == serviceName && method.name == name) {
            return &method;
        }
    }
    return nullptr;
}

bool DaemonMethodTable::hasCallbacks(const std::string& serviceName) {
    return serviceName == XPCServiceName::bitLocker || serviceName == XPCServiceName::checkDisk ||
           serviceName == XPCServiceName::deviceClone || serviceName == XPCServiceName::luks;
}

}  // namespace harbormind
