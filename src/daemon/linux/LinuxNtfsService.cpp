#include "daemon/linux/LinuxNtfsService.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/linux/disks/BlkidProbe.h"
#include "platform/linux/mounting/MountHelper.h"
#include "platform/linux/mounting/UserMediaFolder.h"
#include "support/Log.h"
#include "xpc/NtfsMountResult.h"

namespace harbormind {
namespace {

std::mutex& settingsMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<uid_t, bool>& ignoreHibernateByUser() {
    static std::map<uid_t, bool> settings;
    return settings;
}

struct Account {
    std::string name;
    gid_t gid = 0;
};

// The caller's account name and primary group; a uid without an account keeps its number.
Account accountOf(uid_t uid) {
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return {found->pw_name, found->pw_gid};
    }
    return {std::to_string(uid), static_cast<gid_t>(uid)};
}

// Mounted anywhere already: its major:minor in mountinfo, or named as a mount's source.
bool alreadyMounted(const std::string& procRoot, const std::string& devicePath) {
    struct stat device {};
    if (::stat(devicePath.c_str(), &device) != 0) {
        return true;
    }
    std::string number = std::to_string(major(device.st_rdev)) + ":" + std::to_string(minor(device.st_rdev));
    std::ifstream mountinfo(procRoot + "/self/mountinfo");
    std::string line;
    while (std::getline(mountinfo, line)) {
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        auto separator = line.find(" - ");
        std::istringstream tail(separator == std::string::npos ? "" : line.substr(separator + 3));
        std::string type, source;
        tail >> type >> source;
        if (numbers == number || source == devicePath) {
            return true;
        }
    }
    return false;
}

}  // namespace

LinuxNtfsService::LinuxNtfsService(CallerIdentity caller, NtfsServicePaths paths)
    : caller_(std::move(caller)), paths_(std::move(paths)), mounter_(paths_.procRoot) {}

bool LinuxNtfsService::driverAvailable() const {
    return mounter_.driver().has_value();
}

void LinuxNtfsService::isNtfsKextAllowedWithReply(XPCBoolReply reply) {
    reply(driverAvailable());
}

void LinuxNtfsService::setIgnoreHibernateFileWithFlag(bool flag) {
    std::lock_guard lock(settingsMutex());
    ignoreHibernateByUser()[caller_.uid] = flag;
}

bool LinuxNtfsService::ignoreHibernateFile(uid_t uid) {
    std::lock_guard lock(settingsMutex());
    auto found = ignoreHibernateByUser().find(uid);
    return found != ignoreHibernateByUser().end() && found->second;
}

void LinuxNtfsService::setEnableDebugLoggingWithFlag(bool flag) {
    Log::setLevel(flag ? LogLevel::Debug : LogLevel::Info);
    Log::info(std::string("debug logging ") + (flag ? "on" : "off"));
}

void LinuxNtfsService::mountAsNTFSNativelyWithBsdName(const std::string& bsdName, XPCIntReply reply) {
    reply(mount("/dev/" + bsdName).code);
}

void LinuxNtfsService::mountNTFSVolumeWithBsdName(const std::string& bsdName, XPCCodeReply reply) {
    reply(mount("/dev/" + bsdName));
}

XPCCodeAnswer LinuxNtfsService::mount(const std::string& devicePath) const {
    auto failed = [](std::string reason) {
        Log::warning(reason);
        return XPCCodeAnswer{NtfsMountResult::failed, std::move(reason)};
    };
    VolumeFacts facts = BlkidProbe::probe(devicePath, ProbeTable::Skip);
    if (facts.type != "ntfs") {
        return failed(devicePath + " holds no NTFS volume");
    }
    if (alreadyMounted(paths_.procRoot, devicePath)) {
        return failed(devicePath + " is mounted already");
    }
    if (!driverAvailable()) {
        return failed("this system has no read-write NTFS driver (ntfs-3g, or the kernel's ntfs3)");
    }
    Account account = accountOf(caller_.uid);
    std::string uuid = facts.uuid.value_or("");
    std::string name = MountHelper::folderNameFor(facts.label.value_or(""), uuid.empty() ? "NTFS" : uuid);
    UserMediaFolder media(paths_.mediaRoot, MountOwner{account.name, caller_.uid, account.gid});
    std::string problem;
    auto target = media.makeMountFolder(name, problem);
    if (!target) {
        return failed("no mount folder for " + devicePath + ": " + problem);
    }
    NtfsMountRequest request{devicePath, caller_.uid, account.gid,
                             ignoreHibernateFile(caller_.uid) ? HibernationFile::remove : HibernationFile::keep};
    std::int64_t result = mounter_.mount(request, *target);
    if (result == NtfsMountResult::failed) {
        media.removeMountFolder(target->path());
        return {result, "the NTFS driver could not mount " + devicePath + " (the daemon's log has its words)"};
    }
    std::string done = "Volume " + name + " on " + devicePath + " mounted at " + target->path() +
                       (result == NtfsMountResult::mountedReadOnly ? " read-only" : "");
    Log::info(done + " for uid " + std::to_string(caller_.uid));
    return {result, done};
}

}  // namespace harbormind
