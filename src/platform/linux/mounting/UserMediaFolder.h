#pragma once

#include <optional>
#include <string>

#include "platform/linux/mounting/MountFolder.h"
#include "platform/linux/mounting/MountOwner.h"

namespace harbormind {

// The folder a user's volumes are mounted in, <media root>/<user> (/media/ann), and the
// folders made in it for each mount. Everything that decides where a volume goes for a user,
// and whether a mount point is one made for them, lives here, so every service that mounts
// for a user (the mount verbs, NTFS) shares one rule:
// - the media root must be root's and writable by nobody else;
// - the user's folder is root's, mode 0750, the user let in (read and traverse, never write)
//   by an ACL entry, or, where the file system keeps no ACLs, by traverse permission (0751);
//   a folder an older version gave to the user is taken back;
// - a mount folder is always new (made by mkdirat, never an existing one), root's, 0700,
//   opened O_NOFOLLOW | O_DIRECTORY so the mount goes through its descriptor. The user cannot
//   swap it for a link: they cannot write in their media folder.
class UserMediaFolder {
public:
    static constexpr const char* defaultRoot = "/media";

    UserMediaFolder(std::string mediaRoot, MountOwner owner);

    std::string path() const;
    // A new folder named `name` (name1, name2... when taken), or nothing with `error` set.
    std::optional<MountFolder> makeMountFolder(const std::string& name, std::string& error) const;
    // Whether `mountPoint` is a folder directly inside this user's media folder.
    bool holds(const std::string& mountPoint) const;
    // Removes a mount folder directly inside the media folder when it is empty (an rmdir,
    // which never follows a link).
    bool removeMountFolder(const std::string& mountPoint) const;

private:
    // The user's folder, made or taken back as above and opened; -1 with `error` set.
    int openUserFolder(std::string& error) const;

    std::string root_;
    MountOwner owner_;
};

}  // namespace harbormind
