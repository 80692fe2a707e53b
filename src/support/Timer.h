#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "support/DispatchQueue.h"

namespace harbormind {

enum class TimerRepeat { Once, Repeating };

// A timer that fires on a queue after an interval, once or repeatedly, until invalidated.
// It stays alive while scheduled, whether or not the caller keeps it.
class Timer : public std::enable_shared_from_this<Timer> {
public:
    static std::shared_ptr<Timer> scheduled(std::shared_ptr<DispatchQueue> queue, Clock::Duration interval,
                                            TimerRepeat repeat, std::function<void()> action);

    Timer(std::shared_ptr<DispatchQueue> queue, Clock::Duration interval, TimerRepeat repeat,
          std::function<void()> action);

    void invalidate();
    bool isValid() const { return valid_.load(); }

private:
    void arm();
    void fire();

    std::shared_ptr<DispatchQueue> queue_;
    Clock::Duration interval_;
    TimerRepeat repeat_;
    std::function<void()> action_;
    std::atomic<bool> valid_{true};
    std::mutex mutex_;
    Clock::TimerId pending_ = 0;
    Clock* clock_;
};

}  // namespace harbormind
