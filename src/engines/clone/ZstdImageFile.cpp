#include "engines/clone/ZstdImageFile.h"

#include <unistd.h>
#include <zstd.h>

#include <cerrno>

namespace harbormind::clone {
namespace {

// The fastest level: an image is mostly made once and read back rarely, and the time goes
// to the disk's speed, not the ratio.
constexpr int level = 1;

void freeContext(ZSTD_CCtx_s* context) {
    ZSTD_freeCCtx(context);
}

}  // namespace

ZstdImageFile::ZstdImageFile(int fd, std::uint64_t imageSize)
    : fd_(fd), context_(ZSTD_createCCtx(), freeContext), out_(ZSTD_CStreamOutSize()) {
    ZSTD_CCtx_setParameter(context_.get(), ZSTD_c_compressionLevel, level);
    ZSTD_CCtx_setParameter(context_.get(), ZSTD_c_checksumFlag, 1);
    // Compression runs beside the reading and the writing: one worker keeps the copy's own
    // thread free to hand over the next chunk.
    ZSTD_CCtx_setParameter(context_.get(), ZSTD_c_nbWorkers, 1);
    ZSTD_CCtx_setPledgedSrcSize(context_.get(), imageSize);
}

ZstdImageFile::~ZstdImageFile() = default;

CloneIoResult ZstdImageFile::writeAt(std::uint64_t offset, const std::byte* buffer, std::size_t length) {
    if (offset != next_) {
        return {CloneIoStatus::failed, ESPIPE};
    }
    next_ += length;
    return compress(buffer, length, ZSTD_e_continue);
}

CloneIoResult ZstdImageFile::flush() {
    if (CloneIoResult pushed = compress(nullptr, 0, ZSTD_e_flush); pushed.status != CloneIoStatus::ok) {
        return pushed;
    }
    return ::fdatasync(fd_) == 0 ? CloneIoResult{} : CloneIoResult{CloneIoStatus::failed, errno};
}

CloneIoResult ZstdImageFile::finish() {
    if (CloneIoResult ended = compress(nullptr, 0, ZSTD_e_end); ended.status != CloneIoStatus::ok) {
        return ended;
    }
    if (::ftruncate(fd_, static_cast<off_t>(fileOffset_)) != 0 || ::fsync(fd_) != 0) {
        return {CloneIoStatus::failed, errno};
    }
    return {};
}

CloneIoResult ZstdImageFile::compress(const std::byte* buffer, std::size_t length, int mode) {
    ZSTD_inBuffer in{buffer, length, 0};
    const auto directive = static_cast<ZSTD_EndDirective>(mode);
    for (;;) {
        ZSTD_outBuffer out{out_.data(), out_.size(), 0};
        std::size_t left = ZSTD_compressStream2(context_.get(), &out, &in, directive);
        if (ZSTD_isError(left)) {
            return {CloneIoStatus::failed, EIO};
        }
        if (CloneIoResult written = writeOut(out.pos); written.status != CloneIoStatus::ok) {
            return written;
        }
        const bool consumed = in.pos == in.size;
        if (directive == ZSTD_e_continue ? consumed : left == 0) {
            return {};
        }
    }
}

CloneIoResult ZstdImageFile::writeOut(std::size_t length) {
    std::size_t written = 0;
    while (written < length) {
        ssize_t n = ::pwrite(fd_, out_.data() + written, length - written, static_cast<off_t>(fileOffset_));
        if (n <= 0) {
            return {CloneIoStatus::failed, n < 0 ? errno : ENOSPC};
        }
        written += static_cast<std::size_t>(n);
        fileOffset_ += static_cast<std::uint64_t>(n);
    }
    return {};
}

}  // namespace harbormind::clone
