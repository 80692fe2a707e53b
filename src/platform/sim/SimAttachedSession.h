#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/DiskArbitrationSession.h"

namespace harbormind {

// A session as the simulated machine it is attached to sees it: what the machine tells it
// and asks it, always with the machine's lock held.
class SimAttachedSession {
public:
    struct Approval {
        std::shared_ptr<DispatchQueue> queue;
        DiskArbitrationSession::ApprovalCallback callback;
    };

    virtual ~SimAttachedSession() = default;

    // A new disk, to the appeared callbacks that have had the report of present disks.
    virtual void deliverAppeared(const DADisk& disk) = 0;
    virtual void deliverInitial(const std::vector<DADisk>& disks,
                                const std::vector<DiskArbitrationSession::DiskCallback>& callbacks) = 0;
    virtual void deliverDisappeared(const DADisk& disk) = 0;
    virtual void deliverChanged(const DADisk& disk, const std::vector<std::string>& keys) = 0;
    // The appeared callbacks that still await the report of present disks, once a queue is set.
    virtual std::vector<DiskArbitrationSession::DiskCallback> takeUnreportedAppeared() = 0;
    virtual std::vector<Approval> mountApprovals() = 0;
    virtual std::vector<Approval> unmountApprovals() = 0;
};

}  // namespace harbormind
