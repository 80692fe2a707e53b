#pragma once

#include <sys/types.h>

#include <string>

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

}  // namespace harbormind
