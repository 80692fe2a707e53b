#include "platform/linux/files/LinuxDirectoryWalker.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/files/LinuxTreeBlocks.h"

namespace harbormind {

namespace {

// Copies a name into a terminated buffer; false for names no file system accepts.
bool terminatedName(std::string_view name, char (&buffer)[NAME_MAX + 1]) {
    if (name.empty() || name.size() > NAME_MAX || name.find('\0') != std::string_view::npos ||
        name.find('/') != std::string_view::npos) {
        return false;
    }
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    return true;
}

EntryKind kindOfMode(mode_t mode) {
    switch (mode & S_IFMT) {
    case S_IFREG: return EntryKind::Regular;
    case S_IFDIR: return EntryKind::Directory;
    case S_IFLNK: return EntryKind::SymbolicLink;
    case S_IFBLK: return EntryKind::BlockDevice;
    case S_IFCHR: return EntryKind::CharacterDevice;
    case S_IFIFO: return EntryKind::Pipe;
    case S_IFSOCK: return EntryKind::Socket;
    default: return EntryKind::Unknown;
    }
}

EntryStat fromStat(const struct stat& st) {
    EntryStat result;
    result.kind = kindOfMode(st.st_mode);
    result.size = static_cast<std::int64_t>(st.st_size);
    result.allocated = static_cast<std::int64_t>(st.st_blocks) * 512;
    result.device = static_cast<std::uint64_t>(st.st_dev);
    result.inode = static_cast<std::uint64_t>(st.st_ino);
    result.owner = static_cast<std::uint32_t>(st.st_uid);
    result.modifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    return result;
}

std::optional<EntryStat> statxAt(int dirfd, const char* path, int flags) {
    struct statx stx {};
    if (::statx(dirfd, path, flags, STATX_TYPE | STATX_INO | STATX_SIZE | STATX_BLOCKS | STATX_UID | STATX_MTIME | STATX_MNT_ID,
                &stx) != 0) {
        return std::nullopt;
    }
    EntryStat result;
    result.kind = kindOfMode(stx.stx_mode);
    result.size = static_cast<std::int64_t>(stx.stx_size);
    result.allocated = static_cast<std::int64_t>(stx.stx_blocks) * 512;
    result.device = static_cast<std::uint64_t>(makedev(stx.stx_dev_major, stx.stx_dev_minor));
    result.inode = stx.stx_ino;
    result.mountId = (stx.stx_mask & STATX_MNT_ID) != 0 ? stx.stx_mnt_id : 0;
    result.owner = stx.stx_uid;
    result.modifiedSeconds = stx.stx_mtime.tv_sec;
    return result;
}

}  // namespace

DirectoryWalker::Handle LinuxDirectoryWalker::openFolder(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return invalidHandle;
    }
    return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

DirectoryWalker::Handle LinuxDirectoryWalker::openChildFolder(Handle parent, std::string_view name) {
    char buffer[NAME_MAX + 1];
    if (parent < 0 || !terminatedName(name, buffer) || std::strcmp(buffer, ".") == 0 ||
        std::strcmp(buffer, "..") == 0) {
        return invalidHandle;
    }
    return ::openat(parent, buffer, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

void LinuxDirectoryWalker::close(Handle handle) {
    if (handle >= 0) {
        ::close(handle);
    }
}

std::optional<EntryStat> LinuxDirectoryWalker::statHandle(Handle handle) {
    if (handle < 0) {
        return std::nullopt;
    }
    return statxAt(handle, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW);
}

std::optional<EntryStat> LinuxDirectoryWalker::statChild(Handle parent, std::string_view name) {
    char buffer[NAME_MAX + 1];
    if (parent < 0 || !terminatedName(name, buffer)) {
        return std::nullopt;
    }
    return statxAt(parent, buffer, AT_SYMLINK_NOFOLLOW);
}

std::optional<EntryStat> LinuxDirectoryWalker::statPath(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return statxAt(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW);
}

bool LinuxDirectoryWalker::list(Handle folder, DirectoryListing& out) {
    out.clear();
    if (folder < 0) {
        return false;
    }
    // getdents64 straight on the handle: no second descriptor and no directory stream to set up
    // for every folder of a scan; a large buffer lists most folders in one call.
    alignas(struct dirent64) static thread_local char buffer[65536];
    for (;;) {
        long read = ::syscall(SYS_getdents64, folder, buffer, sizeof(buffer));
        if (read == 0) {
            return true;
        }
        if (read < 0) {
            return false;
        }
        for (long offset = 0; offset < read;) {
            auto* entry = reinterpret_cast<struct dirent64*>(buffer + offset);
            offset += entry->d_reclen;
            const char* name = entry->d_name;
            std::size_t length = std::strlen(name);
            if (length == 0 || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
                continue;
            }
            ListedEntry listed;
            listed.nameOffset = static_cast<std::uint32_t>(out.names.size());
            listed.nameLength = static_cast<std::uint32_t>(length);
            listed.typeCode = entry->d_type;
            struct stat st;  // filled by fstatat, read only when it succeeds
            if ((entry->d_type != DT_DIR || out.lookUpFolders) && ::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                listed.looked = true;
                listed.stat = fromStat(st);
            }
            out.names.append(name, length);
            out.entries.push_back(listed);
        }
    }
}

int LinuxDirectoryWalker::removeChild(Handle parent, std::string_view name, EntryKind kind) {
    char buffer[NAME_MAX + 1];
    if (parent < 0 || !terminatedName(name, buffer) || std::strcmp(buffer, ".") == 0 ||
        std::strcmp(buffer, "..") == 0) {
        return EINVAL;
    }
    int flags = kind == EntryKind::Directory ? AT_REMOVEDIR : 0;
    return ::unlinkat(parent, buffer, flags) == 0 ? 0 : errno;
}

TreeBlockSource LinuxDirectoryWalker::treeBlocks() const {
    return LinuxTreeBlocks::source();
}

}  // namespace harbormind
