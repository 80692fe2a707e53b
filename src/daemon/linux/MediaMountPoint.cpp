#include "daemon/linux/MediaMountPoint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <dirent.h>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "support/Log.h"

namespace harbormind {
namespace {

constexpr int openFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The kernel's extended-attribute form of an access ACL: owner rwx, the user r-x, nobody else.
std::vector<char> userAccessAcl(uid_t uid) {
    constexpr std::uint32_t undefinedId = 0xffffffffu;
    struct Entry {
        std::uint16_t tag;
        std::uint16_t perm;
        std::uint32_t id;
    };
    const std::array<Entry, 5> entries{{{0x01, 7, undefinedId},     // the owner (root)
                                         {0x02, 5, uid},             // the user
                                         {0x04, 0, undefinedId},     // the owning group
                                         {0x10, 5, undefinedId},     // the mask
                                         {0x20, 0, undefinedId}}};  // everyone else
    std::vector<char> acl(4 + entries.size() * 8);
    std::uint32_t version = 2;
    std::memcpy(acl.data(), &version, 4);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        char* at = acl.data() + 4 + i * 8;
        std::memcpy(at, &entries[i].tag, 2);
        std::memcpy(at + 2, &entries[i].perm, 2);
        std::memcpy(at + 4, &entries[i].id, 4);
    }
    return acl;
}

// The user's folder, created if missing, made root's and closed to everyone but the user.
int openUserFolder(int mediaRoot, const std::string& userName, uid_t uid) {
    if (::mkdirat(mediaRoot, userName.c_str(), 0750) != 0 && errno != EEXIST) {
        return -1;
    }
    int folder = ::openat(mediaRoot, userName.c_str(), openFlags);
    struct stat info {};
    if (folder < 0 || ::fstat(folder, &info) != 0 || ::fchown(folder, 0, 0) != 0 || ::fchmod(folder, 0750) != 0) {
        if (folder >= 0) {
            ::close(folder);
        }
        return -1;
    }
    std::vector<char> acl = userAccessAcl(uid);
    if (::fsetxattr(folder, "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
        // Without ACLs the user passes through as anyone may; the mount itself is the user's only.
        Log::warning(std::string("no ACL on the media folder (") + std::strerror(errno) + "): mode 0711");
        ::fchmod(folder, 0711);
    }
    return folder;
}

// An existing folder is taken only when it is an empty, root-owned folder nothing is mounted on.
bool reusable(int userFolder, int folder) {
    struct stat parent {}, self {};
    if (::fstat(userFolder, &parent) != 0 || ::fstat(folder, &self) != 0) {
        return false;
    }
    if (self.st_uid != 0 || self.st_dev != parent.st_dev || self.st_nlink > 2) {
        return false;
    }
    int probe = ::dup(folder);
    DIR* entries = probe >= 0 ? ::fdopendir(probe) : nullptr;
    bool empty = entries != nullptr;
    while (entries && empty) {
        const dirent* entry = ::readdir(entries);
        if (!entry) {
            break;
        }
        empty = std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0;
    }
    if (entries) {
        ::closedir(entries);
    } else if (probe >= 0) {
        ::close(probe);
    }
    return empty;
}

int createFolder(int userFolder, const std::string& name) {
    bool created = ::mkdirat(userFolder, name.c_str(), 0700) == 0;
    if (!created && errno != EEXIST) {
        return -1;
    }
    int folder = ::openat(userFolder, name.c_str(), openFlags);
    if (folder >= 0 && !created && !reusable(userFolder, folder)) {
        ::close(folder);
        return -1;
    }
    return folder;
}

}  // namespace

std::string MediaMountPoint::folderName(const std::string& label, const std::string& fallback) {
    std::string name;
    for (unsigned char c : label.substr(0, 200)) {
        name += (c == '/' || c < 0x20 || c == 0x7f) ? '_' : static_cast<char>(c);
    }
    if (name.find_first_not_of(" ._") == std::string::npos) {
        return fallback.empty() || fallback == label ? "NTFS" : folderName(fallback, "NTFS");
    }
    return name;
}

std::optional<MediaMountPoint> MediaMountPoint::create(const std::string& mediaRoot, const std::string& userName,
                                                       uid_t uid, const std::string& volumeName) {
    int root = ::open(mediaRoot.c_str(), openFlags);
    int userFolder = root >= 0 ? openUserFolder(root, userName, uid) : -1;
    if (root >= 0) {
        ::close(root);
    }
    if (userFolder < 0) {
        Log::warning("cannot prepare the media folder of " + userName + ": " + std::strerror(errno));
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 10; ++attempt) {
        std::string name = attempt == 0 ? volumeName : volumeName + std::to_string(attempt);
        int folder = createFolder(userFolder, name);
        if (folder >= 0) {
            return MediaMountPoint(userFolder, folder, name, mediaRoot + "/" + userName + "/" + name);
        }
    }
    ::close(userFolder);
    return std::nullopt;
}

MediaMountPoint::MediaMountPoint(int userFolder, int folder, std::string name, std::string path)
    : userFolder_(userFolder), folder_(folder), name_(std::move(name)), path_(std::move(path)) {}

MediaMountPoint::MediaMountPoint(MediaMountPoint&& other) noexcept
    : userFolder_(std::exchange(other.userFolder_, -1)),
      folder_(std::exchange(other.folder_, -1)),
      name_(std::move(other.name_)),
      path_(std::move(other.path_)) {}

MediaMountPoint::~MediaMountPoint() {
    for (int descriptor : {folder_, userFolder_}) {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
}

void MediaMountPoint::discard() {
    if (userFolder_ >= 0 && folder_ >= 0 && reusable(userFolder_, folder_)) {
        ::unlinkat(userFolder_, name_.c_str(), AT_REMOVEDIR);
    }
}

}  // namespace harbormind
