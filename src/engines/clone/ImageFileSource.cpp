#include "engines/clone/ImageFileSource.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>

#include "engines/clone/RawImageSource.h"
#include "engines/clone/XzImageSource.h"
#include "engines/clone/ZstdImageSource.h"

namespace harbormind::clone {
namespace {

constexpr std::array<unsigned char, 4> zstdMagic{0x28, 0xB5, 0x2F, 0xFD};
constexpr std::array<unsigned char, 6> xzMagic{0xFD, '7', 'z', 'X', 'Z', 0x00};

}  // namespace

ImageFileSource::Format ImageFileSource::formatOf(int fd) {
    std::array<unsigned char, 6> head{};
    if (::pread(fd, head.data(), head.size(), 0) != static_cast<ssize_t>(head.size())) {
        return Format::raw;
    }
    if (std::memcmp(head.data(), zstdMagic.data(), zstdMagic.size()) == 0) {
        return Format::zstd;
    }
    return std::memcmp(head.data(), xzMagic.data(), xzMagic.size()) == 0 ? Format::xz : Format::raw;
}

std::unique_ptr<ImageFileSource> ImageFileSource::open(int fd, std::string& problem) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = "the image must be a regular file";
        return nullptr;
    }
    switch (formatOf(fd)) {
    case Format::zstd:
        if (auto size = ZstdImageSource::recordedSize(fd)) {
            return std::make_unique<ZstdImageSource>(fd, *size);
        }
        break;
    case Format::xz:
        if (auto size = XzImageSource::recordedSize(fd)) {
            return std::make_unique<XzImageSource>(fd, *size);
        }
        break;
    case Format::raw:
        if (info.st_size == 0) {
            problem = "the image is empty";
            return nullptr;
        }
        return std::make_unique<RawImageSource>(fd, static_cast<std::uint64_t>(info.st_size));
    }
    problem = "the compressed image does not record the size of the disk it holds";
    return nullptr;
}

}  // namespace harbormind::clone
