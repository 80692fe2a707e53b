#pragma once

#include "engines/clone/ImageFileSource.h"

namespace harbormind::clone {

// A raw image (.img, .iso): the file is the disk, byte for byte.
class RawImageSource final : public ImageFileSource {
public:
    RawImageSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

    CloneIoResult readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) override;
    std::uint64_t size() const override { return size_; }

private:
    int fd_;
    std::uint64_t size_;
};

}  // namespace harbormind::clone
