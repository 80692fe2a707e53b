#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/DADisk.h"
#include "platform/DADissenter.h"
#include "platform/sim/SimAttachedSession.h"

namespace harbormind {

// The disk-arbitration sessions attached to a simulated machine, held weakly: what the
// machine tells them and what it asks them. Not locked: the machine uses it under its own lock.
class SimAttachedSessions {
public:
    using Approvals = std::vector<SimAttachedSession::Approval>;
    enum class ApprovalKind { Mount, Unmount };

    void attach(const std::shared_ptr<SimAttachedSession>& session);
    // Every approval callback of the live sessions, to be asked with no lock held.
    Approvals approvals(ApprovalKind kind) const;
    // Every callback is asked, on its own queue, so each session learns of the request; the
    // first dissent decides.
    static std::optional<DADissenter> ask(const Approvals& approvals, const DADisk& disk);

    void announceAppeared(const std::string& bsdName) const;
    void announceChanged(const std::string& bsdName, const std::vector<std::string>& keys) const;
    void announceDisappeared(const std::string& bsdName) const;

private:
    std::vector<std::shared_ptr<SimAttachedSession>> live() const;

    std::vector<std::weak_ptr<SimAttachedSession>> sessions_;
};

}  // namespace harbormind
