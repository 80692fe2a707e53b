#include "engines/clone/ZstdImageSource.h"

#include <unistd.h>
#include <zstd.h>

#include <cerrno>
#include <cstring>

namespace harbormind::clone {
namespace {

// The largest frame header zstd writes (ZSTD_FRAMEHEADERSIZE_MAX, which only its static API names).
constexpr std::size_t frameHeaderBytes = 18;

void freeContext(ZSTD_DCtx_s* context) {
    ZSTD_freeDCtx(context);
}

}  // namespace

std::optional<std::uint64_t> ZstdImageSource::recordedSize(int fd) {
    std::byte header[frameHeaderBytes];
    ssize_t n = ::pread(fd, header, sizeof header, 0);
    if (n <= 0) {
        return std::nullopt;
    }
    unsigned long long size = ZSTD_getFrameContentSize(header, static_cast<std::size_t>(n));
    if (size == ZSTD_CONTENTSIZE_UNKNOWN || size == ZSTD_CONTENTSIZE_ERROR) {
        return std::nullopt;
    }
    return size;
}

ZstdImageSource::ZstdImageSource(int fd, std::uint64_t size)
    : fd_(fd), size_(size), context_(ZSTD_createDCtx(), freeContext), in_(ZSTD_DStreamInSize()) {}

ZstdImageSource::~ZstdImageSource() = default;

CloneIoResult ZstdImageSource::broken(std::string why) {
    problem_ = std::move(why);
    return {CloneIoStatus::gone, EIO};
}

CloneIoResult ZstdImageSource::readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) {
    if (offset != produced_) {
        return broken("a compressed image is read in order only");
    }
    ZSTD_outBuffer out{buffer, length, 0};
    while (out.pos < out.size) {
        if (inPos_ == inSize_) {
            ssize_t n = ::pread(fd_, in_.data(), in_.size(), static_cast<off_t>(fileOffset_));
            if (n < 0) {
                return broken(std::string("the image cannot be read: ") + std::strerror(errno));
            }
            if (n == 0) {
                return broken("the compressed image ends before the disk it holds");
            }
            fileOffset_ += static_cast<std::uint64_t>(n);
            inPos_ = 0;
            inSize_ = static_cast<std::size_t>(n);
        }
        ZSTD_inBuffer in{in_.data(), inSize_, inPos_};
        std::size_t result = ZSTD_decompressStream(context_.get(), &out, &in);
        inPos_ = in.pos;
        if (ZSTD_isError(result)) {
            return broken(std::string("the compressed image is damaged: ") + ZSTD_getErrorName(result));
        }
    }
    produced_ += length;
    return {};
}

}  // namespace harbormind::clone
