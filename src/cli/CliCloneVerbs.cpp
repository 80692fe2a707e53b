// `clone SOURCE DEST [--restart|--resume] [--yes]`: copies a whole device onto another with the
// daemon's copy engine, run in this process (root only), with a progress bar on the terminal.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "daemon/clone/CloneDeviceContents.h"
#include "daemon/clone/CloneEngine.h"
#include "drivemodel/DMCloneErrorCode.h"
#include "drivemodel/DMCloneTexts.h"
#include "support/Clock.h"

namespace harbormind {
namespace {

struct CloneVerbOptions {
    std::string source;
    std::string destination;
    bool restart = false;
    bool resume = false;
    bool yes = false;
    std::string stateFolder = "/var/lib/kestrane/clone";
};

std::string devicePath(const std::string& name) {
    return name.rfind("/dev/", 0) == 0 ? name : "/dev/" + name;
}

std::string bytesText(double bytes) {
    const char* units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    int unit = 0;
    while (bytes >= 1024 && unit < 4) {
        bytes /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", bytes, units[unit]);
    return text;
}

std::string durationText(double seconds) {
    auto whole = static_cast<long long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

// "[#######.............]  1.2 GiB / 4.0 GiB  85.3 MiB/s  0:00:32 left"
std::string progressBar(const clone::CloneProgress& progress, std::uint64_t startedAt, double elapsed) {
    const int width = 30;
    double fraction =
        progress.total ? static_cast<double>(progress.current) / static_cast<double>(progress.total) : 0;
    int filled = static_cast<int>(fraction * width);
    std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(width - filled), '.') + "] ";
    double copied = static_cast<double>(progress.current - std::min(progress.current, startedAt));
    double rate = elapsed > 0 ? copied / elapsed : 0;
    std::string left =
        rate > 0 ? durationText(static_cast<double>(progress.total - progress.current) / rate) + " left" : "";
    return bar + bytesText(static_cast<double>(progress.current)) + " / " +
           bytesText(static_cast<double>(progress.total)) + "  " + bytesText(rate) + "/s  " + left;
}

// The pair check's text, then the engine's reason ("the destination holds a file system
// mounted on /media/ann/USB").
std::string refusalText(const clone::CloneAnswer& answer) {
    std::string text;
    switch (answer.code) {
        case 1: text = DMCloneTexts::openSourceFailed; break;
        case 2: text = DMCloneTexts::openDestinationFailed; break;
        case 3: text = DMCloneTexts::sectorSizeMismatch; break;
        case 4: text = DMCloneTexts::notEnoughSpace; break;
        default: return answer.message;
    }
    while (!text.empty() && text.front() == ' ') {
        text.erase(0, 1);
    }
    return answer.message.empty() ? text : text + " (" + answer.message + ")";
}

// Decides restart or resume; empty when the command may go on, else the refusal.
std::string decide(const CloneVerbOptions& options, clone::CloneEngine& engine,
                   const std::string& destination, bool& isCover) {
    bool interrupted = engine.isCloneInterruptDeviceWithStrDevice(destination);
    if (interrupted && !options.restart && !options.resume) {
        return destination +
               " carries an interrupted clone: add --resume to go on or --restart to copy from "
               "the start";
    }
    if (options.resume && !interrupted) {
        return destination + " carries no interrupted clone to resume";
    }
    isCover = options.restart;
    if (options.resume || options.yes) {
        return {};
    }
    if (auto contents = clone::deviceContents(destination)) {
        return destination + " holds data (" + *contents + ") that the clone overwrites; add --yes to go on";
    }
    return {};
}

// The clone that SIGINT or SIGTERM stops (the engine saves its map before the command ends).
// One thread per process waits for the signals; the engine is registered while it copies.
class SignalStop {
public:
    explicit SignalStop(clone::CloneEngine& engine) {
        static std::once_flag started;
        std::call_once(started, [] {
            sigset_t signals = blocked();
            pthread_sigmask(SIG_BLOCK, &signals, nullptr);
            std::thread([signals] {
                int received = 0;
                while (sigwait(&signals, &received) == 0) {
                    std::lock_guard lock(mutex());
                    if (current()) {
                        current()->stopCloneWithFlag(true);
                    }
                }
            }).detach();
        });
        sigset_t signals = blocked();
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        std::lock_guard lock(mutex());
        current() = &engine;
    }
    ~SignalStop() {
        std::lock_guard lock(mutex());
        current() = nullptr;
    }
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

private:
    static sigset_t blocked() {
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        return signals;
    }
    static std::mutex& mutex() {
        static std::mutex instance;
        return instance;
    }
    static clone::CloneEngine*& current() {
        static clone::CloneEngine* engine = nullptr;
        return engine;
    }
};

int runClone(CliContext& context, const CloneVerbOptions& options) {
    if (options.restart && options.resume) {
        return context.fail("clone: choose either --restart or --resume");
    }
    if (::geteuid() != 0) {
        return context.fail("clone: needs root (the copy opens both devices directly)");
    }
    std::string source = devicePath(options.source);
    std::string destination = devicePath(options.destination);
    clone::CloneOptions engineOptions;
    engineOptions.stateFolder = options.stateFolder;
    auto engine = std::make_unique<clone::CloneEngine>(engineOptions);
    if (clone::CloneAnswer check = engine->checkPair(destination, source); check.code != 0) {
        return context.fail("clone: " + refusalText(check));
    }
    bool isCover = false;
    if (std::string refusal = decide(options, *engine, destination, isCover); !refusal.empty()) {
        return context.fail("clone: " + refusal);
    }
    SignalStop stopOnSignals(*engine);
    Clock& clock = Clock::current();
    Clock::TimePoint start = clock.now();
    std::optional<std::uint64_t> startedAt;
    clone::CloneProgress last;
    clone::CloneAnswer started = engine->startClone(
        destination, source, isCover, [&](const clone::CloneProgress& p) {
            if (!startedAt) {
                startedAt = p.current;
            }
            last = p;
            context.err << "\r" << progressBar(p, *startedAt, toSeconds(clock.now() - start)) << "   "
                        << std::flush;
            return clone::CloneReply::proceed;
        });
    if (started.code != 0) {
        return context.fail("clone: " + refusalText(started));
    }
    if (!started.message.empty()) {
        context.err << "clone: " << started.message << "\n";
    }
    engine->waitUntilFinished();
    context.err << "\n";
    clone::CloneOutcome outcome = engine->lastOutcome();
    switch (outcome.end) {
        case clone::CloneEnd::finished:
            context.out << "cloned " << last.total << " bytes of " << source << " onto " << destination;
            if (outcome.unreadableBytes > 0) {
                context.out << "; " << outcome.unreadableBytes << " bytes ("
                            << bytesText(static_cast<double>(outcome.unreadableBytes))
                            << ") could not be read and were written as zeros";
            }
            context.out << "\n";
            return 0;
        case clone::CloneEnd::stopped:
            return context.fail("clone: stopped; run again with --resume to go on");
        case clone::CloneEnd::sourceGone:
            return context.fail("clone: " + std::string(DMCloneTexts::sourceMissing));
        case clone::CloneEnd::destinationGone:
            return context.fail("clone: " + std::string(DMCloneTexts::destinationMissing));
        case clone::CloneEnd::writeFailed: break;
    }
    return context.fail("clone: " + (outcome.reason.empty() ? "writing to " + destination + " failed" : outcome.reason) +
                        "; run again with --resume to retry");
}

}  // namespace

void registerCloneVerbs(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<CloneVerbOptions>();
    CLI::App* command = app.add_subcommand("clone", "copy a whole device onto another (root)");
    command->add_option("SOURCE", options->source, "the device to copy, such as sdb")->required();
    command->add_option("DEST", options->destination, "the device to overwrite, such as sdc")->required();
    command->add_flag("--restart", options->restart, "copy from the start over an interrupted clone");
    command->add_flag("--resume", options->resume, "go on with the interrupted clone on DEST");
    command->add_flag("--yes", options->yes, "overwrite a destination that holds data");
    command->add_option("--state-folder", options->stateFolder, "where maps of interrupted clones are kept")
        ->group("");
    command->callback([&context, options] { context.exitStatus = runClone(context, *options); });
}

}  // namespace harbormind
