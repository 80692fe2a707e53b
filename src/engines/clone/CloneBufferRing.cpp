#include "engines/clone/CloneBufferRing.h"

#include <cstdlib>
#include <new>

namespace harbormind::clone {

void CloneBufferRing::FreeDeleter::operator()(std::byte* p) const {
    std::free(p);
}

CloneBufferRing::CloneBufferRing(std::size_t count, std::size_t size, std::size_t alignment)
    : size_(size), buffers_(count) {
    for (CloneBuffer& buffer : buffers_) {
        auto* memory = static_cast<std::byte*>(std::aligned_alloc(alignment, size));
        if (!memory) {
            throw std::bad_alloc();
        }
        memory_.emplace_back(memory);
        buffer.data = memory;
        free_.push_back(&buffer);
    }
}

CloneBufferRing::~CloneBufferRing() = default;

CloneBuffer* CloneBufferRing::takeFree() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || !free_.empty(); });
    if (closed_) {
        return nullptr;
    }
    CloneBuffer* buffer = free_.front();
    free_.pop_front();
    return buffer;
}

void CloneBufferRing::giveFree(CloneBuffer* buffer) {
    {
        std::lock_guard lock(mutex_);
        free_.push_back(buffer);
    }
    changed_.notify_all();
}

CloneBuffer* CloneBufferRing::takeFilled() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || finished_ || !filled_.empty(); });
    if (closed_ || filled_.empty()) {
        return nullptr;
    }
    CloneBuffer* buffer = filled_.front();
    filled_.pop_front();
    return buffer;
}

void CloneBufferRing::giveFilled(CloneBuffer* buffer) {
    {
        std::lock_guard lock(mutex_);
        filled_.push_back(buffer);
    }
    changed_.notify_all();
}

void CloneBufferRing::finishFilling() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
}

void CloneBufferRing::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

}  // namespace harbormind::clone
