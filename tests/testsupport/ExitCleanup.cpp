#include "testsupport/ExitCleanup.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace harbormind::test {
namespace {

// In the forked child only async-signal-safe calls: the test may run other threads.
[[noreturn]] void becomeCleanup(int trigger, int finished, char* const* argv) {
    if (::fork() != 0) {
        ::_exit(0);  // the middle process: the script is handed to init, out of the test's tree
    }
    ::setsid();
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int number : {SIGPIPE, SIGTERM, SIGINT, SIGHUP}) {
        ::signal(number, SIG_DFL);
    }
    int null = ::open("/dev/null", O_RDWR);
    ::dup2(trigger, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::dup2(finished, 3);
    // Nothing else of the test's stays open in it (a device or a pipe end it holds would
    // keep that device busy or that pipe's reader waiting).
    ::close_range(4, ~0U, 0);
    ::execv("/bin/sh", argv);
    ::_exit(127);
}

}  // namespace

ExitCleanup::ExitCleanup(const std::string& script, const std::vector<std::string>& arguments) {
    // Waits for end of file on its input (the test's end), then runs the script; its output
    // goes nowhere, since the test that would read it may be gone.
    std::vector<std::string> words = {"/bin/sh", "-c", "cat >/dev/null\n" + script, "exit-cleanup"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    int trigger[2];
    int finished[2];
    if (::pipe2(trigger, O_CLOEXEC) != 0) {
        return;
    }
    if (::pipe2(finished, O_CLOEXEC) != 0) {
        ::close(trigger[0]);
        ::close(trigger[1]);
        return;
    }
    pid_t middle = ::fork();
    if (middle == 0) {
        becomeCleanup(trigger[0], finished[1], argv.data());
    }
    ::close(trigger[0]);
    ::close(finished[1]);
    if (middle < 0) {
        ::close(trigger[1]);
        ::close(finished[0]);
        return;
    }
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    trigger_ = trigger[1];
    finished_ = finished[0];
}

ExitCleanup::~ExitCleanup() {
    if (trigger_ < 0) {
        return;
    }
    ::close(trigger_);
    char ignored;
    for (;;) {
        ssize_t got = ::read(finished_, &ignored, 1);
        if (got == 0 || (got < 0 && errno != EINTR)) {
            break;
        }
    }
    ::close(finished_);
}

}  // namespace harbormind::test
