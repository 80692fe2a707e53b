#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "engines/clone/StreamedImageSource.h"

struct ZSTD_DCtx_s;

namespace harbormind::clone {

// A zstd image, decompressed as it is read. Its size is what the first frame records (this
// system's images always record it); data past it, or a damaged frame, ends the copy with the
// reason.
class ZstdImageSource final : public StreamedImageSource {
public:
    // The size the image records, or none.
    static std::optional<std::uint64_t> recordedSize(int fd);

    ZstdImageSource(int fd, std::uint64_t size);
    ~ZstdImageSource() override;

private:
    bool decompress(std::byte* buffer, std::size_t length) override;

    std::unique_ptr<ZSTD_DCtx_s, void (*)(ZSTD_DCtx_s*)> context_;
    std::vector<std::byte> in_;
    std::size_t inPos_ = 0;
    std::size_t inSize_ = 0;
};

}  // namespace harbormind::clone
