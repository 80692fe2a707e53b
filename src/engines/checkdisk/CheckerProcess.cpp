#include "engines/checkdisk/CheckerProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <thread>

#include "engines/checkdisk/LineQueue.h"
#include "engines/checkdisk/OutputText.h"

namespace harbormind {
namespace {

// A line longer than this is passed on in pieces.
constexpr std::size_t longestLine = 64 * 1024;

// The checkers run with a known environment: the system's program folders, plain messages.
const char* const checkerEnvironment[] = {"PATH=/usr/sbin:/usr/bin:/sbin:/bin", "LC_ALL=C", nullptr};

void drain(int fd, LineQueue& queue) {
    std::string pending;
    char buffer[64 * 1024];
    for (;;) {
        ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        pending.append(buffer, static_cast<std::size_t>(count));
        std::size_t start = 0;
        for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
            std::size_t length = end - start;
            if (length > 0 && pending[end - 1] == '\r') {
                --length;
            }
            queue.push(OutputText::validUtf8(std::string_view(pending).substr(start, length)) + "\n");
        }
        pending.erase(0, start);
        while (pending.size() >= longestLine) {
            queue.push(OutputText::validUtf8(std::string_view(pending).substr(0, longestLine)) + "\n");
            pending.erase(0, longestLine);
        }
    }
    if (!pending.empty()) {
        queue.push(OutputText::validUtf8(pending) + "\n");
    }
    queue.close();
}

}  // namespace

CheckerProcess::CheckerProcess(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {}

CheckerProcess::~CheckerProcess() {
    if (pid_ > 0) {
        kill();
        waitForExit();
    }
}

bool CheckerProcess::spawn(int& readEnd) {
    int pipeEnds[2];
    if (arguments_.empty() || ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, so that stopping it reaches the programs it starts.
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<char*> argv;
    for (std::string& argument : arguments_) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    int error = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(),
                            const_cast<char* const*>(checkerEnvironment));
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeEnds[1]);
    if (error != 0) {
        ::close(pipeEnds[0]);
        return false;
    }
    pid_ = pid;
    if (killRequested_) {
        kill();
    }
    readEnd = pipeEnds[0];
    return true;
}

int CheckerProcess::run(const LineHandler& handler) {
    int readEnd = -1;
    if (!spawn(readEnd)) {
        return notStarted;
    }
    LineQueue queue;
    std::thread reader([readEnd, &queue] {
        drain(readEnd, queue);
        ::close(readEnd);
    });
    while (auto line = queue.pop()) {
        if (handler) {
            handler(*line);
        }
    }
    reader.join();
    return waitForExit();
}

int CheckerProcess::waitForExit() {
    pid_t pid = pid_.exchange(0);
    if (pid <= 0) {
        return notStarted;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return notStarted;
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return killed + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

void CheckerProcess::kill() {
    killRequested_ = true;
    pid_t pid = pid_;
    if (pid > 0) {
        ::kill(-pid, SIGKILL);
    }
}

}  // namespace harbormind
