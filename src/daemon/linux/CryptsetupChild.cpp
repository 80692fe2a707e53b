#include "daemon/linux/CryptsetupChild.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace harbormind {
namespace {

char* const* environmentOfChild() {
    static const char* const environment[] = {"PATH=/usr/sbin:/usr/bin:/sbin:/bin", "LC_ALL=C", nullptr};
    return const_cast<char* const*>(environment);
}

// The guard's state, read and written by its signal handler.
volatile sig_atomic_t guarded = 0;
volatile sig_atomic_t stopAsked = 0;

// cryptsetup loses a SIGTERM that comes before its reencryption loop runs (while it writes a
// new header or opens a key slot) and then goes on to the end, with no one left to stop it.
// Once asked, the stop is sent again every second (alarm: the daemon's clock cannot run in a
// forked copy of it); a SIGTERM inside the loop ends the current step and stops there.
void forwardStop(int) {
    stopAsked = 1;
    if (guarded > 0) {
        ::kill(guarded, SIGTERM);
        ::alarm(1);
    }
}

sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGALRM);
    return set;
}

void onStop(int signal) {
    struct sigaction action {};
    action.sa_handler = forwardStop;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

// Ends the guard the way its child ended, so the daemon reads the child's status.
[[noreturn]] void endAs(int status) {
    if (WIFSIGNALED(status)) {
        int signal = WTERMSIG(status);
        ::signal(signal, SIG_DFL);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signal);
        ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
        ::kill(::getpid(), signal);
        ::_exit(128 + signal);
    }
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 127);
}

}  // namespace

// Signal dispositions are reset before the mask opens, so a SIGTERM waiting in it ends the
// program instead of running a handler copied from the parent. With its daemon gone, a write
// to the closed output pipe fails instead of killing the program in the middle of a step
// (SIGPIPE ignored).
void CryptsetupChild::exec(char* const* argv, int in, int out, int err, WithParent withParent) {
    if (withParent == WithParent::stops) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    }
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGALRM, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
        ::_exit(127);
    }
    ::close_range(3, ~0U, 0);
    ::execve(argv[0], argv, environmentOfChild());
    ::_exit(127);
}

// The guard keeps none of the daemon's descriptors (its bus connection above all: a copy held
// here would keep a dead daemon's name on the bus).
void CryptsetupChild::guard(char* const* argv, int in, int out, int err, pid_t daemon) {
    sigset_t stops = stopSignals();
    ::sigprocmask(SIG_BLOCK, &stops, nullptr);
    onStop(SIGTERM);
    onStop(SIGALRM);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != daemon) {
        stopAsked = 1;
    }
    if (::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
        ::_exit(127);
    }
    ::close_range(3, ~0U, 0);
    pid_t child = ::fork();
    if (child == 0) {
        exec(argv, 0, 1, 2, WithParent::stops);
    }
    if (child < 0) {
        ::_exit(127);
    }
    guarded = child;
    if (stopAsked) {
        forwardStop(SIGTERM);
    }
    ::sigprocmask(SIG_UNBLOCK, &stops, nullptr);
    // The child is reaped only once no signal can reach its number any more: a number freed
    // is soon another process's.
    siginfo_t ended {};
    while (::waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    ::sigprocmask(SIG_BLOCK, &stops, nullptr);
    ::alarm(0);
    guarded = 0;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    endAs(status);
}

}  // namespace harbormind
