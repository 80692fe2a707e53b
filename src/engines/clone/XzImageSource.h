#pragma once

#include <lzma.h>

#include <optional>
#include <vector>

#include "engines/clone/StreamedImageSource.h"

namespace harbormind::clone {

// An xz image, decompressed as it is read. Its size comes from the index at the file's end.
class XzImageSource final : public StreamedImageSource {
public:
    // The size the image's index records, or none (not one whole xz stream).
    static std::optional<std::uint64_t> recordedSize(int fd);

    XzImageSource(int fd, std::uint64_t size);
    ~XzImageSource() override;
    XzImageSource(const XzImageSource&) = delete;
    XzImageSource& operator=(const XzImageSource&) = delete;

private:
    bool decompress(std::byte* buffer, std::size_t length) override;

    lzma_stream stream_ = LZMA_STREAM_INIT;
    std::vector<std::uint8_t> in_;
    bool ended_ = false;
};

}  // namespace harbormind::clone
