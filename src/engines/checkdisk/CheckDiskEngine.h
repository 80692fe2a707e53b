#pragma once

#include <memory>
#include <mutex>

#include "engines/checkdisk/CheckDiskRequest.h"
#include "engines/checkdisk/CheckDiskSink.h"
#include "engines/checkdisk/CheckDiskVerdict.h"
#include "engines/checkdisk/CheckerPrograms.h"

namespace harbormind {

class CheckerProcess;

// Checks, or checks and repairs, one volume with the checker of the file system it really
// carries, and streams everything to a sink:
//  - checkStart with "Checking DEVICE (TYPE)";
//  - every line the checker prints, as checkRuning;
//  - a last checkRuning line in words ("No errors found", "Errors were repaired",
//    "Errors remain", "The check could not be completed") and checkEnd with the same words;
//  - or checkStop with the reason, when nothing could be checked (mounted volume, unknown
//    file system, missing checker) or the device disappeared.
// A mounted volume is neither checked nor repaired. One engine runs one check at a time.
class CheckDiskEngine {
public:
    explicit CheckDiskEngine(CheckerPrograms programs = CheckerPrograms::installed());
    ~CheckDiskEngine();

    // Runs the whole check on the calling thread; returns once the stream has ended.
    CheckDiskVerdict run(const CheckDiskRequest& request, const CheckDiskSink& sink);
    // Ends a running check from another thread: its checker is killed and the stream ends
    // with checkStop.
    void stop();

    // Used by a run to publish the checker it is waiting for.
    void setRunning(CheckerProcess* process);
    bool stopRequested() const;

private:
    CheckerPrograms programs_;
    mutable std::mutex mutex_;
    CheckerProcess* running_ = nullptr;
    bool stopRequested_ = false;
};

}  // namespace harbormind
