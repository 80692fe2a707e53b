#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engines/clone/CloneIo.h"

namespace harbormind::clone {

// A disk image the user opened, read as the disk it holds: a raw image as it is, a zstd or
// xz image decompressed in order (a compressed image is read from its start to its end once).
// `problem` says why a read failed (a damaged image), for the user.
class ImageFileSource : public CloneSource {
public:
    enum class Format { raw, zstd, xz };

    // The source for the image, or none with `problem` saying why (not a regular file, a
    // compressed image that does not say how large the disk is).
    static std::unique_ptr<ImageFileSource> open(int fd, std::string& problem);
    // What the first bytes of the file say it is.
    static Format formatOf(int fd);

    std::uint32_t sectorSize() const override { return 512; }
    virtual std::string problem() const { return {}; }
};

}  // namespace harbormind::clone
