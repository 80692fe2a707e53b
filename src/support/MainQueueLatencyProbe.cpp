#include "support/MainQueueLatencyProbe.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

namespace harbormind {

// Shared with the clock's and the queue's pending tasks, so they outlive a probe that stopped.
struct MainQueueLatencyProbe::State {
    std::shared_ptr<DispatchQueue> queue;
    Clock::Duration period;
    Clock* clock = &Clock::current();
    mutable std::mutex mutex;
    bool running = false;
    std::uint64_t generation = 0;  // a restart leaves the tasks of an earlier run without effect
    Clock::TimerId pending = 0;
    std::vector<Clock::Duration> samples;

    void arm(const std::shared_ptr<State>& self, std::uint64_t run) {
        std::lock_guard lock(mutex);
        if (!running || run != generation) {
            return;
        }
        pending = clock->schedule(period, [self, run] {
            Clock::TimePoint posted = self->clock->now();
            self->queue->async([self, run, posted] {
                Clock::Duration late = self->clock->now() - posted;
                {
                    std::lock_guard sampling(self->mutex);
                    if (!self->running || run != self->generation) {
                        return;
                    }
                    self->samples.push_back(late);
                }
                self->arm(self, run);
            });
        });
    }
};

MainQueueLatencyProbe::MainQueueLatencyProbe(std::shared_ptr<DispatchQueue> queue, Clock::Duration period)
    : state_(std::make_shared<State>()) {
    state_->queue = std::move(queue);
    state_->period = period;
}

MainQueueLatencyProbe::~MainQueueLatencyProbe() {
    stop();
}

void MainQueueLatencyProbe::start() {
    std::uint64_t run = 0;
    {
        std::lock_guard lock(state_->mutex);
        if (state_->running) {
            return;
        }
        state_->running = true;
        run = ++state_->generation;
    }
    state_->arm(state_, run);
}

void MainQueueLatencyProbe::stop() {
    std::lock_guard lock(state_->mutex);
    if (!state_->running) {
        return;
    }
    state_->running = false;
    state_->clock->cancel(state_->pending);
}

void MainQueueLatencyProbe::reset() {
    std::lock_guard lock(state_->mutex);
    state_->samples.clear();
}

MainQueueLatencyProbe::Summary MainQueueLatencyProbe::summary() const {
    std::vector<Clock::Duration> samples;
    {
        std::lock_guard lock(state_->mutex);
        samples = state_->samples;
    }
    Summary result;
    result.samples = samples.size();
    if (samples.empty()) {
        return result;
    }
    std::sort(samples.begin(), samples.end());
    auto at = [&](double fraction) {
        auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
        return samples[std::min(index, samples.size() - 1)];
    };
    result.longest = samples.back();
    result.p99 = at(0.99);
    result.median = at(0.5);
    return result;
}

std::string MainQueueLatencyProbe::describe(const Summary& summary) {
    auto ms = [](Clock::Duration value) { return std::chrono::duration<double, std::milli>(value).count(); };
    char text[128];
    std::snprintf(text, sizeof text, "longest %.1f ms, p99 %.1f ms, median %.1f ms, %zu samples", ms(summary.longest),
                  ms(summary.p99), ms(summary.median), summary.samples);
    return text;
}

}  // namespace harbormind
