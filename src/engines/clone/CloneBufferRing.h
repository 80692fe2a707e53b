#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "engines/clone/ByteRangeSet.h"

namespace harbormind::clone {

// One buffer of the ring and the source range it holds.
struct CloneBuffer {
    std::byte* data = nullptr;
    ByteRange range;
};

// A fixed set of aligned buffers passed between the reader and the writer: the reader takes
// free buffers and hands them over filled; the writer hands them back. Memory stays bounded
// at count × size however far one side runs ahead.
class CloneBufferRing {
public:
    CloneBufferRing(std::size_t count, std::size_t size, std::size_t alignment = 4096);
    ~CloneBufferRing();
    CloneBufferRing(const CloneBufferRing&) = delete;
    CloneBufferRing& operator=(const CloneBufferRing&) = delete;

    std::size_t bufferSize() const { return size_; }

    // Blocks for a free buffer; null once the ring is closed.
    CloneBuffer* takeFree();
    void giveFree(CloneBuffer* buffer);
    // Blocks for a filled buffer; null once the reader is done and all are taken, or closed.
    CloneBuffer* takeFilled();
    void giveFilled(CloneBuffer* buffer);

    // The reader has nothing more to hand over.
    void finishFilling();
    // Wakes and releases both sides at once (a stop or a failure).
    void close();

private:
    struct FreeDeleter {
        void operator()(std::byte* p) const;
    };

    std::size_t size_;
    std::vector<std::unique_ptr<std::byte, FreeDeleter>> memory_;
    std::vector<CloneBuffer> buffers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<CloneBuffer*> free_;
    std::deque<CloneBuffer*> filled_;
    bool finished_ = false;
    bool closed_ = false;
};

}  // namespace harbormind::clone
