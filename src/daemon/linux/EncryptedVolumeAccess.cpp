#include "daemon/linux/EncryptedVolumeAccess.h"

#include "daemon/linux/DeviceMapperPresence.h"
#include "platform/linux/disks/SysfsBlockDevice.h"
#include "support/Log.h"

namespace harbormind {
namespace {

std::string firstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    return line.empty() ? "no reason given" : line;
}

}  // namespace

EncryptedVolumeAccess::EncryptedVolumeAccess(LuksCommandLines commands,
                                             std::function<std::shared_ptr<CryptsetupRunner>()> makeRunner,
                                             Paths paths)
    : commands_(std::move(commands)), makeRunner_(std::move(makeRunner)), paths_(std::move(paths)) {}

std::optional<std::string> EncryptedVolumeAccess::openAs(const std::string& name) const {
    auto device = SysfsBlockDevice::read(paths_.sysfsRoot, name);
    if (!device) {
        return std::nullopt;
    }
    for (const auto& holder : device->holders) {
        auto mapped = SysfsBlockDevice::read(paths_.sysfsRoot, holder);
        if (mapped && mapped->mapperUuid && mapped->mapperUuid->rfind("CRYPT-", 0) == 0) {
            return holder;
        }
    }
    return std::nullopt;
}

XPCCodeAnswer EncryptedVolumeAccess::unlock(const std::string& name, const std::string& type,
                                            const std::string& header, const std::string& password,
                                            bool readOnly) const {
    if (auto open = openAs(name)) {
        return {unlocked, name + " is already unlocked as " + *open};
    }
    if (!DeviceMapperPresence::present(paths_.procRoot)) {
        // A wrong password is said as such first: the user can do something about that one.
        if (type == "luks" && !keyOpens(name, header, password)) {
            return {wrongKey, "The password is incorrect"};
        }
        return {noDeviceMapper, DeviceMapperPresence::missingReason("Unlocking " + name)};
    }
    auto result = makeRunner_()->run(commands_.open(type, "/dev/" + name, header, "hm-" + name, readOnly),
                                     password, {});
    if (result.status == 2) {
        return {wrongKey, "The password is incorrect"};
    }
    auto open = openAs(name);
    if (result.status != 0 || !open) {
        return {failed, name + " could not be unlocked: " + firstLine(result.errorText)};
    }
    return {unlocked, name + " unlocked as " + *open};
}

// cryptsetup's test of a key opens nothing, so it needs no device-mapper.
bool EncryptedVolumeAccess::keyOpens(const std::string& name, const std::string& header,
                                     const std::string& password) const {
    return makeRunner_()->run(commands_.testKey("/dev/" + name, header, -1), password, {}).status == 0;
}

XPCCodeAnswer EncryptedVolumeAccess::lock(const std::string& name) const {
    auto open = openAs(name);
    if (!open) {
        return {unlocked, name + " is locked"};
    }
    auto mapped = SysfsBlockDevice::read(paths_.sysfsRoot, *open);
    if (!mapped || !mapped->mapperName) {
        return {failed, name + " could not be locked: its mapping has no name"};
    }
    auto result = makeRunner_()->run(commands_.close(*mapped->mapperName), {}, {});
    if (openAs(name)) {
        bool inUse = result.errorText.find("in use") != std::string::npos ||
                     result.errorText.find("busy") != std::string::npos;
        return {inUse ? busy : failed, name + " could not be locked: " + firstLine(result.errorText)};
    }
    return {unlocked, name + " locked"};
}

}  // namespace harbormind
