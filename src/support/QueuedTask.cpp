#include "support/QueuedTask.h"

namespace harbormind {

QueuedTask::QueuedTask(std::function<void()> work) : work_(std::move(work)), clock_(&Clock::current()) {
    clock_->workQueued();
}

void QueuedTask::run() {
    clock_->workStarted();
    work_();
    work_ = nullptr;
    clock_->workFinished();
}

}  // namespace harbormind
