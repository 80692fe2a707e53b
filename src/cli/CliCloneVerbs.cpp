// `clone SOURCE DEST [--restart|--resume] [--yes]`: copies a whole device onto another, with a
// progress bar on the terminal. Root runs the daemon's copy engine in this process; everyone
// else (and root with --through-daemon) asks the daemon to copy.
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

#include "cli/CliCloneOptions.h"
#include "cli/CliCloneText.h"
#include "cli/CliContext.h"
#include "cli/CliEnglish.h"
#include "cli/CliDaemonClone.h"
#include "cli/CliVerbGroups.h"
#include "drivemodel/DMCloneTexts.h"
#include "engines/clone/CloneDeviceContents.h"
#include "engines/clone/CloneEngine.h"
#include "support/Clock.h"
#include "xpc/DMCloneErrorCode.h"

namespace harbormind {
namespace {

std::string devicePath(const std::string& name) {
    return name.rfind("/dev/", 0) == 0 ? name : "/dev/" + name;
}

// Decides restart or resume; empty when the command may go on, else the refusal.
std::string decide(const CliCloneOptions& options, clone::CloneEngine& engine,
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

// As root on this machine: the engine copies in this process.
int cloneHere(CliContext& context, const CliCloneOptions& options) {
    std::string source = devicePath(options.source);
    std::string destination = devicePath(options.destination);
    clone::CloneOptions engineOptions;
    engineOptions.stateFolder = options.stateFolder;
    auto engine = std::make_unique<clone::CloneEngine>(engineOptions);
    if (CodeResult check = engine->checkPair(destination, source); check.code != 0) {
        return context.fail("clone: " + CliCloneText::refusal(check.code, check.message));
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
    CodeResult started = engine->startClone(
        destination, source, isCover, [&](const clone::CloneProgress& p) {
            if (!startedAt) {
                startedAt = p.current;
            }
            last = p;
            context.err << "\r"
                        << CliCloneText::progressLine(p.current, p.total, *startedAt, toSeconds(clock.now() - start))
                        << "   "
                        << std::flush;
            return clone::CloneReply::proceed;
        });
    if (started.code != 0) {
        return context.fail("clone: " + CliCloneText::refusal(started.code, started.message));
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
                            << CliCloneText::bytes(static_cast<double>(outcome.unreadableBytes))
                            << ") could not be read and were written as zeros";
            }
            context.out << "\n";
            return 0;
        case clone::CloneEnd::stopped:
            return context.fail("clone: stopped; run again with --resume to go on");
        case clone::CloneEnd::sourceGone:
            return context.fail("clone: " + CliEnglish::of(DMCloneTexts::sourceMissing));
        case clone::CloneEnd::destinationGone:
            return context.fail("clone: " + CliEnglish::of(DMCloneTexts::destinationMissing));
        case clone::CloneEnd::writeFailed: break;
    }
    return context.fail("clone: " + (outcome.reason.empty() ? "writing to " + destination + " failed" : outcome.reason) +
                        "; run again with --resume to retry");
}

int runClone(CliContext& context, const CliCloneOptions& options) {
    if (options.restart && options.resume) {
        return context.fail("clone: choose either --restart or --resume");
    }
    if (!context.preparePlatform()) {
        return 1;
    }
    if (context.platformName == "linux" && ::geteuid() == 0 && !options.throughDaemon) {
        return cloneHere(context, options);
    }
    return CliDaemonClone(context, options).run();
}

}  // namespace

void registerCloneVerbs(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<CliCloneOptions>();
    CLI::App* command = app.add_subcommand("clone", "copy a whole device onto another");
    command->add_option("SOURCE", options->source, "the device to copy, such as sdb")->required();
    command->add_option("DEST", options->destination, "the device to overwrite, such as sdc")->required();
    command->add_flag("--restart", options->restart, "copy from the start over an interrupted clone");
    command->add_flag("--resume", options->resume, "go on with the interrupted clone on DEST");
    command->add_flag("--yes", options->yes, "overwrite a destination that holds data");
    command->add_flag("--through-daemon", options->throughDaemon, "as root too, let the helper daemon copy")
        ->group("");
    command->add_option("--state-folder", options->stateFolder, "where maps of interrupted clones are kept")
        ->group("");
    command->callback([&context, options] { context.exitStatus = runClone(context, *options); });
}

}  // namespace harbormind
