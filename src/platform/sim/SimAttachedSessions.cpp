#include "platform/sim/SimAttachedSessions.h"

#include "support/Dispatch.h"

namespace harbormind {

void SimAttachedSessions::attach(const std::shared_ptr<SimAttachedSession>& session) {
    std::erase_if(sessions_, [](const auto& weak) { return weak.expired(); });
    sessions_.push_back(session);
}

std::vector<std::shared_ptr<SimAttachedSession>> SimAttachedSessions::live() const {
    std::vector<std::shared_ptr<SimAttachedSession>> found;
    for (const auto& weak : sessions_) {
        if (auto session = weak.lock()) {
            found.push_back(std::move(session));
        }
    }
    return found;
}

SimAttachedSessions::Approvals SimAttachedSessions::approvals(ApprovalKind kind) const {
    Approvals all;
    for (const auto& session : live()) {
        auto some = kind == ApprovalKind::Mount ? session->mountApprovals() : session->unmountApprovals();
        all.insert(all.end(), some.begin(), some.end());
    }
    return all;
}

std::optional<DADissenter> SimAttachedSessions::ask(const Approvals& approvals, const DADisk& disk) {
    std::optional<DADissenter> first;
    for (const auto& approval : approvals) {
        std::optional<DADissenter> answer;
        approval.queue->sync([&] { answer = approval.callback(disk); });
        if (answer && !first) {
            first = answer;
        }
    }
    return first;
}

void SimAttachedSessions::announceAppeared(const std::string& bsdName) const {
    for (const auto& session : live()) {
        session->deliverAppeared(DADisk(bsdName));
    }
}

void SimAttachedSessions::announceChanged(const std::string& bsdName, const std::vector<std::string>& keys) const {
    for (const auto& session : live()) {
        session->deliverChanged(DADisk(bsdName), keys);
    }
}

void SimAttachedSessions::announceDisappeared(const std::string& bsdName) const {
    for (const auto& session : live()) {
        session->deliverDisappeared(DADisk(bsdName));
    }
}

}  // namespace harbormind
