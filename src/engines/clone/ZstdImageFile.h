#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engines/clone/CloneIo.h"

struct ZSTD_CCtx_s;

namespace harbormind::clone {

// A disk image compressed with zstd into a file the user opened. The data must come in order
// (the source reads zeros where it cannot read, so nothing is written out of turn); the
// frame records the image's size, so a restore knows it before it starts.
class ZstdImageFile final : public CloneDestination {
public:
    ZstdImageFile(int fd, std::uint64_t imageSize);
    ~ZstdImageFile() override;
    ZstdImageFile(const ZstdImageFile&) = delete;
    ZstdImageFile& operator=(const ZstdImageFile&) = delete;

    CloneIoResult writeAt(std::uint64_t offset, const std::byte* buffer, std::size_t length) override;
    CloneIoResult flush() override;
    // Ends the frame and makes the file durable.
    CloneIoResult finish();

private:
    CloneIoResult compress(const std::byte* buffer, std::size_t length, int mode);
    CloneIoResult writeOut(std::size_t length);

    int fd_;
    std::uint64_t next_ = 0;
    std::uint64_t fileOffset_ = 0;
    std::unique_ptr<ZSTD_CCtx_s, void (*)(ZSTD_CCtx_s*)> context_;
    std::vector<std::byte> out_;
};

}  // namespace harbormind::clone
