#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engines/clone/ImageFileSource.h"

namespace harbormind::clone {

// A compressed image, decompressed as it is read: in order, from its start, once. Subclasses
// fill the caller's buffer from the file; a damaged or short image stops every later read with
// the reason in `problem`.
class StreamedImageSource : public ImageFileSource {
public:
    StreamedImageSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

    CloneIoResult readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) final;
    std::uint64_t size() const final { return size_; }
    std::string problem() const final { return problem_; }

protected:
    // Fills all `length` bytes, or returns false after `fail` has said why.
    virtual bool decompress(std::byte* buffer, std::size_t length) = 0;
    // The next bytes of the file after those already read: their count, 0 at its end, or -1
    // after `fail` has said why.
    long readMore(void* buffer, std::size_t capacity);
    bool fail(std::string why);

private:
    int fd_;
    std::uint64_t size_;
    std::uint64_t produced_ = 0;
    std::uint64_t fileOffset_ = 0;
    std::string problem_;
};

}  // namespace harbormind::clone
