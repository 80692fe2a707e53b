#include "engines/clone/XzImageSource.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace harbormind::clone {
namespace {

constexpr std::size_t inputBytes = 1 << 20;

bool readExactly(int fd, std::uint8_t* buffer, std::size_t length, std::uint64_t offset) {
    return ::pread(fd, buffer, length, static_cast<off_t>(offset)) == static_cast<ssize_t>(length);
}

}  // namespace

std::optional<std::uint64_t> XzImageSource::recordedSize(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size < 2 * LZMA_STREAM_HEADER_SIZE) {
        return std::nullopt;
    }
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);
    std::uint8_t footerBytes[LZMA_STREAM_HEADER_SIZE];
    lzma_stream_flags footer{};
    if (!readExactly(fd, footerBytes, sizeof footerBytes, fileSize - LZMA_STREAM_HEADER_SIZE) ||
        lzma_stream_footer_decode(&footer, footerBytes) != LZMA_OK ||
        footer.backward_size + LZMA_STREAM_HEADER_SIZE > fileSize || footer.backward_size > (64u << 20)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> indexBytes(footer.backward_size);
    if (!readExactly(fd, indexBytes.data(), indexBytes.size(),
                     fileSize - LZMA_STREAM_HEADER_SIZE - footer.backward_size)) {
        return std::nullopt;
    }
    lzma_index* index = nullptr;
    std::uint64_t memoryLimit = UINT64_MAX;
    std::size_t position = 0;
    if (lzma_index_buffer_decode(&index, &memoryLimit, nullptr, indexBytes.data(), &position, indexBytes.size()) !=
        LZMA_OK) {
        return std::nullopt;
    }
    const std::uint64_t size = lzma_index_uncompressed_size(index);
    lzma_index_end(index, nullptr);
    return size;
}

XzImageSource::XzImageSource(int fd, std::uint64_t size) : StreamedImageSource(fd, size), in_(inputBytes) {
    if (lzma_stream_decoder(&stream_, UINT64_MAX, 0) != LZMA_OK) {
        fail("the xz decoder could not start");
    }
}

XzImageSource::~XzImageSource() {
    lzma_end(&stream_);
}

bool XzImageSource::decompress(std::byte* buffer, std::size_t length) {
    stream_.next_out = reinterpret_cast<std::uint8_t*>(buffer);
    stream_.avail_out = length;
    while (stream_.avail_out > 0) {
        if (stream_.avail_in == 0 && !ended_) {
            long n = readMore(in_.data(), in_.size());
            if (n < 0) {
                return false;
            }
            stream_.next_in = in_.data();
            stream_.avail_in = static_cast<std::size_t>(n);
            ended_ = n == 0;
        }
        lzma_ret result = lzma_code(&stream_, ended_ ? LZMA_FINISH : LZMA_RUN);
        if (result == LZMA_STREAM_END && stream_.avail_out > 0) {
            return fail("the compressed image ends before the disk it holds");
        }
        if (result != LZMA_OK && result != LZMA_STREAM_END) {
            return fail("the compressed image is damaged (xz error " + std::to_string(result) + ")");
        }
    }
    return true;
}

}  // namespace harbormind::clone
