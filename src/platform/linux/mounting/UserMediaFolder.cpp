#include "platform/linux/mounting/UserMediaFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace harbormind {
namespace {

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// One entry of the kernel's ACL attribute (little-endian, as the kernel reads it).
void appendEntry(std::vector<std::uint8_t>& acl, std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
    for (int i = 0; i < 2; ++i) {
        acl.push_back(static_cast<std::uint8_t>(tag >> (8 * i)));
    }
    for (int i = 0; i < 2; ++i) {
        acl.push_back(static_cast<std::uint8_t>(perm >> (8 * i)));
    }
    for (int i = 0; i < 4; ++i) {
        acl.push_back(static_cast<std::uint8_t>(id >> (8 * i)));
    }
}

// owner rwx, the user r-x, group r-x, mask r-x, others nothing: the mode stays 0750.
bool grantUserAccess(int folder, std::uint32_t uid) {
    constexpr std::uint32_t noId = 0xFFFFFFFF;
    std::vector<std::uint8_t> acl{2, 0, 0, 0};
    appendEntry(acl, 0x01, 7, noId);  // the owner
    appendEntry(acl, 0x02, 5, uid);   // the user the folder is for
    appendEntry(acl, 0x04, 5, noId);  // the owning group
    appendEntry(acl, 0x10, 5, noId);  // the mask
    appendEntry(acl, 0x20, 0, noId);  // everyone else
    return ::fsetxattr(folder, "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
}

bool validComponent(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::string failure(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

}  // namespace

UserMediaFolder::UserMediaFolder(std::string mediaRoot, MountOwner owner)
    : root_(std::move(mediaRoot)), owner_(std::move(owner)) {
    while (root_.size() > 1 && root_.back() == '/') {
        root_.pop_back();
    }
}

std::string UserMediaFolder::path() const {
    return root_ + "/" + owner_.name;
}

int UserMediaFolder::openUserFolder(std::string& error) const {
    if (!validComponent(owner_.name) || root_.empty() || root_[0] != '/') {
        error = "no media folder for user " + owner_.name;
        return -1;
    }
    int root = ::open(root_.c_str(), folderFlags);
    if (root < 0 && errno == ENOENT && ::mkdir(root_.c_str(), 0755) == 0) {
        root = ::open(root_.c_str(), folderFlags);
    }
    if (root < 0) {
        error = failure("cannot open " + root_);
        return -1;
    }
    struct stat facts {};
    if (::fstat(root, &facts) != 0 || facts.st_uid != 0 || (facts.st_mode & 022) != 0) {
        ::close(root);
        error = root_ + " must belong to root and be writable by nobody else";
        return -1;
    }
    if (::mkdirat(root, owner_.name.c_str(), 0750) != 0 && errno != EEXIST) {
        error = failure("cannot make " + path());
        ::close(root);
        return -1;
    }
    int folder = ::openat(root, owner_.name.c_str(), folderFlags);
    ::close(root);
    if (folder < 0) {
        error = failure("cannot open " + path());
        return -1;
    }
    // Taken back from whoever had it; the user reads and enters it, never writes in it.
    bool owned = ::fstat(folder, &facts) == 0 && (facts.st_uid == 0 || ::fchown(folder, 0, 0) == 0) &&
                 ::fchmod(folder, 0750) == 0;
    if (owned && !grantUserAccess(folder, owner_.uid)) {
        owned = ::fchmod(folder, 0751) == 0;
    }
    if (!owned) {
        error = failure("cannot secure " + path());
        ::close(folder);
        return -1;
    }
    return folder;
}

std::optional<MountFolder> UserMediaFolder::makeMountFolder(const std::string& name, std::string& error) const {
    if (!validComponent(name)) {
        error = "not a folder name: " + name;
        return std::nullopt;
    }
    int folder = openUserFolder(error);
    if (folder < 0) {
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = name + (attempt == 0 ? "" : std::to_string(attempt));
        if (::mkdirat(folder, candidate.c_str(), 0700) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            error = failure("cannot make a mount folder in " + path());
            break;
        }
        int made = ::openat(folder, candidate.c_str(), folderFlags);
        struct stat facts {};
        if (made < 0 || ::fstat(made, &facts) != 0 || facts.st_uid != 0) {
            error = failure("cannot open the new mount folder " + path() + "/" + candidate);
            if (made >= 0) {
                ::close(made);
            }
            break;
        }
        ::close(folder);
        return MountFolder(made, path() + "/" + candidate);
    }
    if (error.empty()) {
        error = "cannot make a mount folder in " + path() + ": every name is taken";
    }
    ::close(folder);
    return std::nullopt;
}

bool UserMediaFolder::holds(const std::string& mountPoint) const {
    const std::string prefix = path() + "/";
    if (mountPoint.size() <= prefix.size() || mountPoint.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    return validComponent(mountPoint.substr(prefix.size()));
}

bool UserMediaFolder::removeMountFolder(const std::string& mountPoint) const {
    if (!holds(mountPoint)) {
        return false;
    }
    int folder = ::open(path().c_str(), folderFlags);
    if (folder < 0) {
        return false;
    }
    bool removed = ::unlinkat(folder, mountPoint.substr(path().size() + 1).c_str(), AT_REMOVEDIR) == 0;
    ::close(folder);
    return removed;
}

}  // namespace harbormind
