#include "app/cleaning/CDScanDelegate.h"

#include "support/Dispatch.h"

namespace harbormind {

void CDScanDelegate::detach() {
    onName = nullptr;
    onSearchFinish = nullptr;
    onDeleteFinish = nullptr;
}

void CDScanDelegate::searchFileName(std::string_view name) {
    {
        std::lock_guard lock(mutex_);
        latestName_.assign(name);
    }
    if (namePosted_.exchange(true)) {
        return;
    }
    // The callbacks are only replaced on the main queue, so reading them there is safe.
    Dispatch::main().async([self = shared_from_this()] {
        std::string latest;
        {
            std::lock_guard lock(self->mutex_);
            latest = self->latestName_;
        }
        self->namePosted_ = false;
        if (self->onName) {
            self->onName(latest);
        }
    });
}

void CDScanDelegate::searchFinish() {
    Dispatch::main().async([self = shared_from_this()] {
        if (self->onSearchFinish) {
            self->onSearchFinish();
        }
    });
}

void CDScanDelegate::deleteFileFinish() {
    Dispatch::main().async([self = shared_from_this()] {
        if (self->onDeleteFinish) {
            self->onDeleteFinish();
        }
    });
}

}  // namespace harbormind
