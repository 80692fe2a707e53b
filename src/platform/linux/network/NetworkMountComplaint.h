#pragma once

#include <string>

namespace harbormind {

// What a mount program's complaint (mount.cifs, mount.nfs, rclone) means, in the statuses
// callers know.
class NetworkMountComplaint {
public:
    // `namedUser`: the mount logged in as a user (not as a guest), so the kernel's cifs
    // "permission denied" means a refused login.
    static int classify(const std::string& output, int exitStatus, bool namedUser);
    // The last line a program printed, for logs and the command line, without a leading
    // log time stamp.
    static std::string lastLine(const std::string& output);

private:
    static std::string withoutLogStamp(const std::string& line);
};

}  // namespace harbormind
