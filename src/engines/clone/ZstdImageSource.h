#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "engines/clone/ImageFileSource.h"

struct ZSTD_DCtx_s;

namespace harbormind::clone {

// A zstd image, decompressed as it is read. Its size is what the first frame records (this
// system's images always record it); data past it, or a damaged frame, ends the copy with the
// reason.
class ZstdImageSource final : public ImageFileSource {
public:
    // The size the image records, or none.
    static std::optional<std::uint64_t> recordedSize(int fd);

    ZstdImageSource(int fd, std::uint64_t size);
    ~ZstdImageSource() override;

    CloneIoResult readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) override;
    std::uint64_t size() const override { return size_; }
    std::string problem() const override { return problem_; }

private:
    CloneIoResult broken(std::string why);

    int fd_;
    std::uint64_t size_;
    std::uint64_t produced_ = 0;
    std::uint64_t fileOffset_ = 0;
    std::unique_ptr<ZSTD_DCtx_s, void (*)(ZSTD_DCtx_s*)> context_;
    std::vector<std::byte> in_;
    std::size_t inPos_ = 0;
    std::size_t inSize_ = 0;
    std::string problem_;
};

}  // namespace harbormind::clone
