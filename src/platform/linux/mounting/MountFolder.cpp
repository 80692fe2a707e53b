#include "platform/linux/mounting/MountFolder.h"

#include <unistd.h>

#include <utility>

namespace harbormind {

MountFolder::MountFolder(MountFolder&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), path_(std::move(other.path_)) {}

MountFolder& MountFolder::operator=(MountFolder&& other) noexcept {
    if (this != &other) {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
        descriptor_ = std::exchange(other.descriptor_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

MountFolder::~MountFolder() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

}  // namespace harbormind
