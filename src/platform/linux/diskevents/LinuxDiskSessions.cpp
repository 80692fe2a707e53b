#include "platform/linux/diskevents/LinuxDiskSessions.h"

#include <algorithm>

#include "platform/linux/diskevents/LinuxDiskArbitrationSession.h"
#include "support/Clock.h"
#include "support/Log.h"

namespace harbormind {
namespace {

// How long the platform waits for the sessions of its own process to answer an approval
// question before it goes ahead without them.
constexpr Clock::Duration approvalTimeLimit = seconds(30);

}  // namespace

bool LinuxDiskSessions::add(const std::shared_ptr<LinuxDiskArbitrationSession>& session) {
    std::lock_guard lock(mutex_);
    bool present = std::any_of(sessions_.begin(), sessions_.end(),
                               [&](const auto& weak) { return weak.lock() == session; });
    if (!present) {
        sessions_.push_back(session);
    }
    return !present;
}

std::vector<std::shared_ptr<LinuxDiskArbitrationSession>> LinuxDiskSessions::live() {
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<LinuxDiskArbitrationSession>> live;
    sessions_.erase(std::remove_if(sessions_.begin(), sessions_.end(),
                                   [&live](const auto& weak) {
                                       auto session = weak.lock();
                                       if (!session) {
                                           return true;
                                       }
                                       live.push_back(std::move(session));
                                       return false;
                                   }),
                    sessions_.end());
    return live;
}

void LinuxDiskSessions::appeared(const std::string& name) {
    for (const auto& session : live()) {
        session->notifyAppeared(name);
    }
}

void LinuxDiskSessions::disappeared(const std::string& name) {
    for (const auto& session : live()) {
        session->notifyDisappeared(name);
    }
}

void LinuxDiskSessions::changed(const std::string& name, const std::vector<std::string>& keys) {
    for (const auto& session : live()) {
        session->notifyChanged(name, keys);
    }
}

std::optional<DADissenter> LinuxDiskSessions::ask(Approval kind, const std::string& name,
                                                  const std::atomic<bool>& stopped) {
    struct Ballot {
        std::mutex mutex;
        int pending = 0;
        std::optional<DADissenter> dissent;
    };
    auto ballot = std::make_shared<Ballot>();
    Clock& clock = Clock::current();
    for (const auto& session : live()) {
        {
            std::lock_guard lock(ballot->mutex);
            ++ballot->pending;
        }
        bool asked = session->ask(kind, name, [ballot, &clock](std::optional<DADissenter> answer) {
            {
                std::lock_guard lock(ballot->mutex);
                if (answer && !ballot->dissent) {
                    ballot->dissent = answer;
                }
                --ballot->pending;
            }
            clock.notifyAll();
        });
        if (!asked) {
            std::lock_guard lock(ballot->mutex);
            --ballot->pending;
        }
    }
    bool answered = clock.waitUntil(
        [&stopped, &ballot] {
            std::lock_guard lock(ballot->mutex);
            return ballot->pending == 0 || stopped;
        },
        clock.now() + approvalTimeLimit);
    if (stopped) {
        return std::nullopt;
    }
    if (!answered) {
        Log::warning("No answer to the " + std::string(kind == Approval::Mount ? "mount" : "unmount") +
                     " approval of " + name + "; going ahead");
    }
    std::lock_guard lock(ballot->mutex);
    return ballot->dissent;
}

}  // namespace harbormind
