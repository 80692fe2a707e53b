#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

#include "daemon/linux/MediaMountPoint.h"

namespace harbormind {

enum class NtfsDriver { ntfs3g, kernelNtfs3 };
enum class HibernationFile { keep, remove };

// What to mount for whom: the files belong to `uid`/`gid` and only they may open them.
struct NtfsMountRequest {
    std::string devicePath;
    uid_t uid = 0;
    gid_t gid = 0;
    HibernationFile hibernation = HibernationFile::keep;
};

// Mounts an NTFS volume read-write with the driver this machine has (ntfs-3g when installed,
// else the kernel's ntfs3), never with set-user-id programs or device nodes honoured. A volume
// Windows hibernated, or did not shut down cleanly, is mounted read-only unless its
// hibernation file is to be removed. Answers an NtfsMountResult code.
class NtfsMounter {
public:
    // `procRoot` is "/proc" except in tests.
    explicit NtfsMounter(std::string procRoot = "/proc");

    std::optional<NtfsDriver> driver() const;
    std::int64_t mount(const NtfsMountRequest& request, const MediaMountPoint& target) const;

    // ntfs-3g's program, when installed.
    static std::optional<std::string> ntfs3gProgram();

private:
    std::int64_t mountWithNtfs3g(const NtfsMountRequest& request, const MediaMountPoint& target) const;
    std::int64_t mountWithKernel(const NtfsMountRequest& request, const MediaMountPoint& target) const;

    std::string procRoot_;
};

}  // namespace harbormind
