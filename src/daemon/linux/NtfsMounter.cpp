#include "daemon/linux/NtfsMounter.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "daemon/linux/NtfsDriverChoice.h"
#include "platform/linux/mounting/LinuxNtfsDriverCheck.h"
#include "support/Log.h"
#include "xpc/NtfsMountResult.h"

namespace harbormind {
namespace {

constexpr int mountFolderInChild = 3;

// Runs `argv` with the mount folder as its descriptor 3 and nothing else of the daemon's;
// answers its exit status, or -1.
int runWithFolder(const std::vector<std::string>& argv, int folder) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    char path[] = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
    char* environment[] = {path, nullptr};
    pid_t child = ::fork();
    if (child == 0) {
        int input = ::open("/dev/null", O_RDONLY);
        if (input < 0 || ::dup2(input, 0) < 0 || ::dup2(folder, mountFolderInChild) < 0) {
            ::_exit(127);
        }
        ::close_range(mountFolderInChild + 1, ~0U, 0);
        ::execve(args[0], args.data(), environment);
        ::_exit(127);
    }
    int status = 0;
    while (child > 0 && ::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return child > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// How the folder turned out: a mount on it, read-only or not; nothing when nothing is mounted.
std::optional<bool> mountedReadOnly(const MountFolder& target) {
    struct stat folder {}, mounted {};
    int root = ::open(target.path().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct statvfs volume {};
    bool ok = root >= 0 && ::fstat(target.descriptor(), &folder) == 0 && ::fstat(root, &mounted) == 0 &&
              ::fstatvfs(root, &volume) == 0 && mounted.st_dev != folder.st_dev;
    if (root >= 0) {
        ::close(root);
    }
    if (!ok) {
        return std::nullopt;
    }
    return (volume.f_flag & ST_RDONLY) != 0;
}

std::int64_t resultOf(std::optional<bool> readOnly) {
    if (!readOnly) {
        return NtfsMountResult::failed;
    }
    return *readOnly ? NtfsMountResult::mountedReadOnly : NtfsMountResult::mounted;
}

// Windows writes "hibr" (or "HIBR") at the start of the file while its session is saved there.
bool hibernated(int root) {
    int file = ::openat(root, "hiberfil.sys", O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    char signature[4] = {};
    bool found = file >= 0 && ::read(file, signature, 4) == 4 &&
                 (std::memcmp(signature, "hibr", 4) == 0 || std::memcmp(signature, "HIBR", 4) == 0);
    if (file >= 0) {
        ::close(file);
    }
    return found;
}

}  // namespace

NtfsMounter::NtfsMounter(std::string procRoot) : procRoot_(std::move(procRoot)) {}

std::optional<std::string> NtfsMounter::ntfs3gProgram() {
    return LinuxNtfsDriverCheck().ntfs3gProgram();
}

std::optional<NtfsDriver> NtfsMounter::driver() const {
    return NtfsDriverChoice::choose(ntfs3gProgram().has_value(), LinuxNtfsDriverCheck(procRoot_).kernelHasNtfs3());
}

std::int64_t NtfsMounter::mount(const NtfsMountRequest& request, const MountFolder& target) const {
    auto which = driver();
    if (!which) {
        Log::warning("no read-write NTFS driver on this machine");
        return NtfsMountResult::failed;
    }
    return *which == NtfsDriver::ntfs3g ? mountWithNtfs3g(request, target) : mountWithKernel(request, target);
}

// ntfs-3g checks the hibernation file and the clean-shutdown flag itself: it removes the file
// when told to, and otherwise refuses or falls back to read-only; a refusal is retried read-only.
std::int64_t NtfsMounter::mountWithNtfs3g(const NtfsMountRequest& request, const MountFolder& target) const {
    std::string options = NtfsDriverChoice::options(NtfsDriver::ntfs3g, request, false);
    std::string folder = "/proc/self/fd/" + std::to_string(mountFolderInChild);
    int status = runWithFolder({*ntfs3gProgram(), "-o", options, request.devicePath, folder}, target.descriptor());
    if (status != 0) {
        Log::info("ntfs-3g could not mount " + request.devicePath + " read-write (status " + std::to_string(status) +
                  "); trying read-only");
        std::string readOnly = NtfsDriverChoice::options(NtfsDriver::ntfs3g, request, true);
        status = runWithFolder({*ntfs3gProgram(), "-o", readOnly, request.devicePath, folder}, target.descriptor());
        auto mounted = mountedReadOnly(target);
        return status == 0 && mounted ? NtfsMountResult::mountedReadOnly : NtfsMountResult::failed;
    }
    return resultOf(mountedReadOnly(target));
}

// The kernel's driver does not look at the hibernation file: the volume is mounted read-only
// first, looked at, and made writable only when that is safe (or the file is removed).
std::int64_t NtfsMounter::mountWithKernel(const NtfsMountRequest& request, const MountFolder& target) const {
    std::string folder = "/proc/self/fd/" + std::to_string(target.descriptor());
    std::string options = NtfsDriverChoice::options(NtfsDriver::kernelNtfs3, request, false);
    constexpr unsigned long safety = MS_NOSUID | MS_NODEV;
    if (::mount(request.devicePath.c_str(), folder.c_str(), "ntfs3", safety | MS_RDONLY, options.c_str()) != 0) {
        Log::warning("ntfs3 cannot mount " + request.devicePath + ": " + std::strerror(errno));
        return NtfsMountResult::failed;
    }
    int root = ::open(target.path().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    bool hasHibernation = root >= 0 && hibernated(root);
    if (root >= 0) {
        ::close(root);
    }
    if (hasHibernation && request.hibernation == HibernationFile::keep) {
        return NtfsMountResult::mountedReadOnly;
    }
    if (::mount(nullptr, target.path().c_str(), nullptr, MS_REMOUNT | safety, options.c_str()) != 0) {
        Log::info("ntfs3 keeps " + request.devicePath + " read-only: " + std::strerror(errno));
        return NtfsMountResult::mountedReadOnly;
    }
    root = ::open(target.path().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (hasHibernation && root >= 0) {
        ::unlinkat(root, "hiberfil.sys", 0);
    }
    if (root >= 0) {
        ::close(root);
    }
    return resultOf(mountedReadOnly(target));
}

}  // namespace harbormind
