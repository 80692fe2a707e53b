#pragma once

#include "platform/DirectoryWalker.h"

namespace harbormind {

// Folder walking with directory file descriptors: openat with O_NOFOLLOW | O_DIRECTORY,
// fstatat with AT_SYMLINK_NOFOLLOW, unlinkat, and statx for the mount id.
class LinuxDirectoryWalker : public DirectoryWalker {
public:
    Handle openFolder(const std::string& path) override;
    Handle openChildFolder(Handle parent, std::string_view name) override;
    void close(Handle handle) override;
    std::optional<EntryStat> statHandle(Handle handle) override;
    std::optional<EntryStat> statChild(Handle parent, std::string_view name) override;
    std::optional<EntryStat> statPath(const std::string& path) override;
    bool list(Handle folder, DirectoryListing& out) override;
    int removeChild(Handle parent, std::string_view name, EntryKind kind) override;
    TreeBlockSource treeBlocks() const override;
};

}  // namespace harbormind
