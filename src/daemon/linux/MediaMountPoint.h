#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace harbormind {

// A new, empty folder <media root>/<user>/<name> for mounting a volume for a user. The user's
// folder is made root's (mode 0750) with an ACL that lets the user in, so nobody but root can
// add, rename or replace what is inside it; the new folder is created and opened without
// following links, and the mount is made through its descriptor, never by path.
class MediaMountPoint {
public:
    static std::optional<MediaMountPoint> create(const std::string& mediaRoot, const std::string& userName, uid_t uid,
                                                 const std::string& volumeName);
    MediaMountPoint(MediaMountPoint&& other) noexcept;
    MediaMountPoint& operator=(MediaMountPoint&&) = delete;
    ~MediaMountPoint();

    int descriptor() const { return folder_; }
    const std::string& path() const { return path_; }
    // Removes the folder again after a failed mount (only while it is empty and not mounted on).
    void discard();

    // A folder name from a volume label: no slashes, no control characters, never "." or "..".
    static std::string folderName(const std::string& label, const std::string& fallback);

private:
    MediaMountPoint(int userFolder, int folder, std::string name, std::string path);

    int userFolder_ = -1;
    int folder_ = -1;
    std::string name_;
    std::string path_;
};

}  // namespace harbormind
