#include "daemon/linux/TerminationSignal.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

namespace harbormind {
namespace {

sigset_t terminationSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

void TerminationSignal::block() {
    sigset_t set = terminationSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

int TerminationSignal::wait() {
    sigset_t set = terminationSet();
    int received = 0;
    while (sigwait(&set, &received) != 0) {
    }
    return received;
}

}  // namespace harbormind

namespace harbormind {

void TerminationSignal::raise() {
    ::kill(::getpid(), SIGTERM);
}

}  // namespace harbormind
