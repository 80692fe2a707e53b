#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace harbormind {

// Lines handed from the thread that drains a checker's pipe to the thread that sends
// them on. Unbounded on purpose: the checker must never wait for the receiver.
class LineQueue {
public:
    void push(std::string line);
    // No more lines will come.
    void close();
    // The next line, waiting for one; none once closed and empty.
    std::optional<std::string> pop();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> lines_;
    bool closed_ = false;
};

}  // namespace harbormind
