#pragma once

#include <memory>

#include "support/DispatchQueue.h"

namespace harbormind {

// A stream of file events over a set of folder trees, created by FileEvents. It reports
// changes from the moment it starts; batches are delivered on the queue it was started on.
// Destroying the stream stops it.
class FileEventStream {
public:
    virtual ~FileEventStream() = default;

    // False when the stream cannot watch its paths (a missing folder, no watch left).
    virtual bool start(std::shared_ptr<DispatchQueue> queue) = 0;
    // Stops reporting; a batch already queued is dropped.
    virtual void stop() = 0;
};

}  // namespace harbormind
