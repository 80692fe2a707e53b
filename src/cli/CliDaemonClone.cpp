#include "cli/CliDaemonClone.h"

#include <mutex>
#include <ostream>

#include "cli/CliCloneText.h"
#include "cli/CliContext.h"
#include "cli/CliDriveText.h"
#include "cli/CliStopSignal.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/Clock.h"

namespace harbormind {
namespace {

std::string deviceName(const std::string& device) {
    return device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
}

// Prints the daemon's reports on the terminal (they arrive on the connection's thread) and
// keeps the last one.
class TerminalCloneProgress final : public DMDeviceCloneWrapperDelegate {
public:
    explicit TerminalCloneProgress(std::ostream& err) : err_(err), lastReport_(Clock::current().now()) {}

    void deviceCloneProgress(const DMProgressMessage& message) override {
        {
            std::lock_guard lock(mutex_);
            Clock::TimePoint now = Clock::current().now();
            lastReport_ = now;
            if (message.status == DMProgressStatus::running || message.status == DMProgressStatus::finished) {
                if (!startedAt_) {
                    startedAt_ = message.current;
                    start_ = now;
                }
                err_ << "\r" << CliCloneText::progressLine(message.current, message.total, *startedAt_, toSeconds(now - start_))
                     << "   " << std::flush;
            }
            if (message.status == DMProgressStatus::finished || message.status == DMProgressStatus::suspended) {
                end_ = message;
            }
        }
        Clock::current().notifyAll();
    }
    void deviceCloneEnded(std::uint64_t unreadableBytes, const std::string& reason) override {
        std::lock_guard lock(mutex_);
        unreadableBytes_ = unreadableBytes;
        reason_ = reason;
    }

    std::optional<DMProgressMessage> end() {
        std::lock_guard lock(mutex_);
        return end_;
    }
    Clock::Duration quiet() {
        std::lock_guard lock(mutex_);
        return Clock::current().now() - lastReport_;
    }
    void heard() {
        std::lock_guard lock(mutex_);
        lastReport_ = Clock::current().now();
    }
    std::uint64_t unreadableBytes() {
        std::lock_guard lock(mutex_);
        return unreadableBytes_;
    }
    std::string reason() {
        std::lock_guard lock(mutex_);
        return reason_;
    }

private:
    std::ostream& err_;
    std::mutex mutex_;
    Clock::TimePoint lastReport_;
    Clock::TimePoint start_{};
    std::optional<std::uint64_t> startedAt_;
    std::optional<DMProgressMessage> end_;
    std::uint64_t unreadableBytes_ = 0;
    std::string reason_;
};

}  // namespace

CliDaemonClone::CliDaemonClone(CliContext& context, CliCloneOptions options)
    : context_(context),
      options_(std::move(options)),
      source_(deviceName(options_.source)),
      destination_(deviceName(options_.destination)),
      wrapper_(DMDeviceCloneWrapper::create()) {}

// "loop5 (512.0 MB, with its volumes loop5p1 “DATA”)", as far as the drive list knows it.
std::string CliDaemonClone::destinationDescription() {
    auto manager = context_.manager();
    auto drives = manager ? manager->driveObjs() : decltype(manager->driveObjs()){};
    auto found = drives.find(destination_);
    auto drive = found == drives.end() ? nullptr : std::dynamic_pointer_cast<DMLocalDriveObject>(found->second);
    if (!drive) {
        return destination_;
    }
    std::string volumes;
    for (const auto& [name, child] : drive->children()) {
        volumes += (volumes.empty() ? "" : ", ") + name;
        if (!child->name().empty() && child->name() != name) {
            volumes += " “" + child->name() + "”";
        }
    }
    return destination_ + " (" + CliDriveText::size(drive->capacity()) +
           (volumes.empty() ? "" : ", with its volumes " + volumes) + ")";
}

std::optional<std::string> CliDaemonClone::refusal(bool& isCover) {
    bool interrupted = wrapper_->isCloneInterrupted(destination_);
    if (interrupted && !options_.restart && !options_.resume) {
        return destination_ +
               " carries an interrupted clone: add --resume to go on or --restart to copy from the start";
    }
    if (options_.resume && !interrupted) {
        return destination_ + " carries no interrupted clone to resume";
    }
    isCover = options_.restart;
    if (options_.resume || options_.yes) {
        return std::nullopt;
    }
    return "everything on " + destinationDescription() + " is replaced by a copy of " + source_ +
           "; add --yes to go on";
}

int CliDaemonClone::run() {
    XPCCodeAnswer check = wrapper_->checkPair(destination_, source_);
    if (check.code != 0) {
        return context_.fail("clone: " + (check.message.empty() ? "the helper daemon did not answer the pair check"
                                                                : CliCloneText::refusal(check.code, check.message)));
    }
    bool isCover = false;
    if (auto refused = refusal(isCover)) {
        return context_.fail("clone: " + *refused);
    }
    auto progress = std::make_shared<TerminalCloneProgress>(context_.err);
    wrapper_->setDelegate(progress);
    CliStopSignal stop;
    XPCCodeAnswer started = wrapper_->startClone(destination_, source_, isCover);
    if (started.code != 0) {
        return context_.fail("clone: " + (started.message.empty() ? "the helper daemon did not answer the request"
                                                                  : CliCloneText::refusal(started.code, started.message)));
    }
    if (!started.message.empty()) {
        context_.err << "clone: " << started.message << "\n";
    }
    progress->heard();
    Clock& clock = Clock::current();
    bool stopSent = false;
    while (!progress->end()) {
        // The signal only marks its request: it is looked at once a second.
        clock.waitUntil([&] { return progress->end().has_value(); }, clock.now() + seconds(1));
        if (CliStopSignal::requested() && !stopSent) {
            wrapper_->stopCloneWithFlag(true);
            stopSent = true;
        }
        if (!progress->end() && progress->quiet() >= seconds(silenceSeconds)) {
            if (!wrapper_->isCloneRunning(destination_) && !progress->end()) {
                context_.err << "\n";
                return context_.fail("clone: the helper daemon stopped copying without a word (it may have ended "
                                     "or been restarted); run again with --resume to go on");
            }
            progress->heard();
        }
    }
    context_.err << "\n";
    DMProgressMessage end = *progress->end();
    if (end.status == DMProgressStatus::suspended) {
        return context_.fail("clone: stopped; run again with --resume to go on");
    }
    if (end.error != DMProgressError::noError) {
        std::string reason = progress->reason().empty() ? "the copy ended early" : progress->reason();
        return context_.fail("clone: " + reason + "; run again with --resume to go on");
    }
    context_.out << "cloned " << end.total << " bytes of " << source_ << " onto " << destination_;
    if (std::uint64_t unreadable = progress->unreadableBytes(); unreadable > 0) {
        context_.out << "; " << unreadable << " bytes (" << CliCloneText::bytes(static_cast<double>(unreadable))
                     << ") could not be read and were written as zeros";
    }
    context_.out << "\n";
    return 0;
}

}  // namespace harbormind
