#pragma once

#include <memory>

#include "engines/clone/CloneProgress.h"
#include "xpc/DMDeviceCloneAppProtocol.h"

namespace harbormind {

// Carries a clone's reports to the application without ever holding up the copy. One report
// is out at a time; running reports that come meanwhile replace each other (only the newest
// is worth sending), and the last report, preceded by the clone's end (unreadable bytes and
// why it ended), waits its turn. An answer other than 0 asks the copy to stop. The callbacks
// must not wait for the application themselves (the daemon's bus callbacks give up after a
// limit); the channel stays alive, through the replies it waits for, until all is sent.
class CloneProgressChannel {
public:
    explicit CloneProgressChannel(std::shared_ptr<DMDeviceCloneAppProtocol> callbacks);

    // Returns at once.
    void offer(const clone::CloneProgress& progress);
    bool cancelled() const;
    // Nothing is out or waiting.
    bool idle() const;

private:
    struct State;
    static void pump(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_;
};

}  // namespace harbormind
