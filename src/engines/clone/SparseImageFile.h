#pragma once

#include <cstdint>
#include <string>

#include "engines/clone/CloneIo.h"

namespace harbormind::clone {

// A raw disk image written into a regular file the user opened (the daemon never opens a
// path in the user's folders): what reads as zeros is left as a hole, so the file takes only
// the space of the data. `prepare` empties the file first, `finish` gives it the source's size.
class SparseImageFile final : public CloneDestination {
public:
    explicit SparseImageFile(int fd) : fd_(fd) {}

    // Why the descriptor cannot take an image (not a regular file, not open for writing,
    // appending); empty when it can.
    static std::string unsuitable(int fd);
    CloneIoResult prepare();
    CloneIoResult writeAt(std::uint64_t offset, const std::byte* buffer, std::size_t length) override;
    CloneIoResult flush() override;
    CloneIoResult finish(std::uint64_t size);

private:
    CloneIoResult writeAll(std::uint64_t offset, const std::byte* buffer, std::size_t length);

    int fd_;
};

}  // namespace harbormind::clone
