#pragma once

#include <string>

namespace harbormind {

// A folder made for one mount, held open (O_NOFOLLOW | O_DIRECTORY) so the mount is made
// through the descriptor and lands on this folder whatever happens to its path meanwhile.
class MountFolder {
public:
    MountFolder(int descriptor, std::string path) : descriptor_(descriptor), path_(std::move(path)) {}
    MountFolder(MountFolder&& other) noexcept;
    MountFolder& operator=(MountFolder&& other) noexcept;
    MountFolder(const MountFolder&) = delete;
    ~MountFolder();

    int descriptor() const { return descriptor_; }
    const std::string& path() const { return path_; }
    // "/proc/self/fd/N": names the open folder itself to mount(2).
    std::string descriptorPath() const { return "/proc/self/fd/" + std::to_string(descriptor_); }

private:
    int descriptor_ = -1;
    std::string path_;
};

}  // namespace harbormind
