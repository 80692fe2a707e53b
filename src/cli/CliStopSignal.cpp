#include "cli/CliStopSignal.h"

#include <signal.h>

#include <atomic>

namespace harbormind {
namespace {

std::atomic<bool> stopRequested{false};
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

extern "C" void markStop(int) {
    stopRequested.store(true);
}

}  // namespace

CliStopSignal::CliStopSignal() {
    stopRequested = false;
    struct sigaction action {};
    action.sa_handler = markStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInterrupt);
    sigaction(SIGTERM, &action, &previousTerminate);
}

CliStopSignal::~CliStopSignal() {
    sigaction(SIGINT, &previousInterrupt, nullptr);
    sigaction(SIGTERM, &previousTerminate, nullptr);
}

bool CliStopSignal::requested() {
    return stopRequested.load();
}

}  // namespace harbormind
