#pragma once

#include <lzma.h>

#include <optional>
#include <vector>

#include "engines/clone/ImageFileSource.h"

namespace harbormind::clone {

// An xz image, decompressed as it is read. Its size comes from the index at the file's end.
class XzImageSource final : public ImageFileSource {
public:
    // The size the image's index records, or none (not one whole xz stream).
    static std::optional<std::uint64_t> recordedSize(int fd);

    XzImageSource(int fd, std::uint64_t size);
    ~XzImageSource() override;
    XzImageSource(const XzImageSource&) = delete;
    XzImageSource& operator=(const XzImageSource&) = delete;

    CloneIoResult readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) override;
    std::uint64_t size() const override { return size_; }
    std::string problem() const override { return problem_; }

private:
    CloneIoResult broken(std::string why);

    int fd_;
    std::uint64_t size_;
    std::uint64_t produced_ = 0;
    std::uint64_t fileOffset_ = 0;
    lzma_stream stream_ = LZMA_STREAM_INIT;
    std::vector<std::uint8_t> in_;
    bool ended_ = false;
    std::string problem_;
};

}  // namespace harbormind::clone
