#include "engines/checkdisk/LineQueue.h"

namespace harbormind {

void LineQueue::push(std::string line) {
    {
        std::lock_guard lock(mutex_);
        lines_.push_back(std::move(line));
    }
    changed_.notify_one();
}

void LineQueue::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

std::optional<std::string> LineQueue::pop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || !lines_.empty(); });
    if (lines_.empty()) {
        return std::nullopt;
    }
    std::string line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

}  // namespace harbormind
