#include "engines/clone/ZstdImageSource.h"

#include <unistd.h>
#include <zstd.h>

#include <string>

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
    : StreamedImageSource(fd, size), context_(ZSTD_createDCtx(), freeContext), in_(ZSTD_DStreamInSize()) {}

ZstdImageSource::~ZstdImageSource() = default;

bool ZstdImageSource::decompress(std::byte* buffer, std::size_t length) {
    ZSTD_outBuffer out{buffer, length, 0};
    while (out.pos < out.size) {
        if (inPos_ == inSize_) {
            long n = readMore(in_.data(), in_.size());
            if (n < 0) {
                return false;
            }
            if (n == 0) {
                return fail("the compressed image ends before the disk it holds");
            }
            inPos_ = 0;
            inSize_ = static_cast<std::size_t>(n);
        }
        ZSTD_inBuffer in{in_.data(), inSize_, inPos_};
        std::size_t result = ZSTD_decompressStream(context_.get(), &out, &in);
        inPos_ = in.pos;
        if (ZSTD_isError(result)) {
            return fail(std::string("the compressed image is damaged: ") + ZSTD_getErrorName(result));
        }
    }
    return true;
}

}  // namespace harbormind::clone
