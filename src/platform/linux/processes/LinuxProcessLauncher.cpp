#include "platform/linux/processes/LinuxProcessLauncher.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>

extern char** environ;

namespace harbormind {
namespace {

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }

    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

bool makePipe(Descriptor& readEnd, Descriptor& writeEnd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
    return true;
}

std::vector<char*> argumentVector(const std::string& launchPath, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(launchPath.c_str()));
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

// The child starts with every signal at its default and none blocked, whatever this
// process's threads have set, and with no descriptor of ours beyond its three streams.
struct SpawnSetup {
    posix_spawn_file_actions_t actions{};
    posix_spawnattr_t attributes{};

    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGTERM);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    void streams(int input, int output, int error) {
        posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, error, STDERR_FILENO);
        posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    }

    int spawn(pid_t& pid, const std::string& launchPath, const std::vector<std::string>& arguments) {
        auto argv = argumentVector(launchPath, arguments);
        if (launchPath.find('/') == std::string::npos) {
            return posix_spawnp(&pid, launchPath.c_str(), &actions, &attributes, argv.data(), environ);
        }
        return posix_spawn(&pid, launchPath.c_str(), &actions, &attributes, argv.data(), environ);
    }
};

int exitStatusOf(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

int waitForChild(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return exitStatusOf(status);
}

// Writes what it can without blocking. A child that closed its input (or exited) raises
// SIGPIPE; it is held back on this thread and discarded, so it cannot end the process.
ssize_t writeWithoutSigpipe(int fd, const char* data, std::size_t size) {
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    ssize_t written = ::write(fd, data, size);
    int savedErrno = errno;
    if (written < 0 && savedErrno == EPIPE) {
        timespec immediately{};
        while (sigtimedwait(&pipeSignal, nullptr, &immediately) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = savedErrno;
    return written;
}

}  // namespace

ProcessResult LinuxProcessLauncher::run(const std::string& launchPath, const std::vector<std::string>& arguments,
                                        const std::optional<std::string>& input) {
    ProcessResult result;
    Descriptor outRead, outWrite, errRead, errWrite, inRead, inWrite;
    if (!makePipe(outRead, outWrite) || !makePipe(errRead, errWrite)) {
        return result;
    }
    if (input) {
        if (!makePipe(inRead, inWrite)) {
            return result;
        }
    } else {
        inRead.reset(::open("/dev/null", O_RDONLY | O_CLOEXEC));
        if (inRead.get() < 0) {
            return result;
        }
    }

    SpawnSetup setup;
    setup.streams(inRead.get(), outWrite.get(), errWrite.get());
    pid_t pid = 0;
    if (setup.spawn(pid, launchPath, arguments) != 0) {
        return result;  // not launched: no output, exit status -1
    }
    result.launched = true;
    // Our copies of the child's ends go, so end of file arrives when the child closes its own.
    outWrite.reset();
    errWrite.reset();
    inRead.reset();

    std::size_t inputOffset = 0;
    if (input && input->empty()) {
        inWrite.reset();
    }
    if (inWrite.get() >= 0) {
        ::fcntl(inWrite.get(), F_SETFL, ::fcntl(inWrite.get(), F_GETFL) | O_NONBLOCK);
    }

    char buffer[65536];
    while (outRead.get() >= 0 || errRead.get() >= 0 || inWrite.get() >= 0) {
        pollfd fds[3];
        nfds_t count = 0;
        Descriptor* owners[3];
        std::string* sinks[3] = {nullptr, nullptr, nullptr};
        if (outRead.get() >= 0) {
            fds[count] = {outRead.get(), POLLIN, 0};
            owners[count] = &outRead;
            sinks[count++] = &result.standardOutput;
        }
        if (errRead.get() >= 0) {
            fds[count] = {errRead.get(), POLLIN, 0};
            owners[count] = &errRead;
            sinks[count++] = &result.standardError;
        }
        if (inWrite.get() >= 0) {
            fds[count] = {inWrite.get(), POLLOUT, 0};
            owners[count++] = &inWrite;
        }
        if (::poll(fds, count, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        for (nfds_t i = 0; i < count; ++i) {
            if (fds[i].revents == 0) {
                continue;
            }
            if (sinks[i] != nullptr) {
                ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
                if (got > 0) {
                    sinks[i]->append(buffer, static_cast<std::size_t>(got));
                } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
                    owners[i]->reset();
                }
                continue;
            }
            // Standard input: write the next piece; close it when done or when the child
            // stopped reading.
            if ((fds[i].revents & (POLLERR | POLLHUP)) != 0) {
                owners[i]->reset();
                continue;
            }
            ssize_t written = writeWithoutSigpipe(fds[i].fd, input->data() + inputOffset, input->size() - inputOffset);
            if (written > 0) {
                inputOffset += static_cast<std::size_t>(written);
                if (inputOffset == input->size()) {
                    owners[i]->reset();
                }
            } else if (written < 0 && errno != EINTR && errno != EAGAIN) {
                owners[i]->reset();
            }
        }
    }
    outRead.reset();
    errRead.reset();
    inWrite.reset();
    result.exitStatus = waitForChild(pid);
    return result;
}

namespace {

// Starts the program on /dev/null; 0 when it did not start.
pid_t spawnQuietly(const std::string& launchPath, const std::vector<std::string>& arguments) {
    Descriptor devNullIn(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    Descriptor devNullOut(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    if (devNullIn.get() < 0 || devNullOut.get() < 0) {
        return 0;
    }
    SpawnSetup setup;
    setup.streams(devNullIn.get(), devNullOut.get(), devNullOut.get());
    pid_t pid = 0;
    if (setup.spawn(pid, launchPath, arguments) != 0) {
        return 0;
    }
    return pid;
}

}  // namespace

bool LinuxProcessLauncher::spawnDetached(const std::string& launchPath, const std::vector<std::string>& arguments) {
    pid_t pid = spawnQuietly(launchPath, arguments);
    if (pid == 0) {
        return false;
    }
    std::thread([pid] { waitForChild(pid); }).detach();
    return true;
}

std::optional<int> LinuxProcessLauncher::spawnWatched(const std::string& launchPath,
                                                      const std::vector<std::string>& arguments,
                                                      Clock::Duration limit) {
    pid_t pid = spawnQuietly(launchPath, arguments);
    if (pid == 0) {
        return -1;
    }
    struct Watch {
        std::atomic<bool> ended{false};
        std::atomic<int> status{-1};
    };
    auto watch = std::make_shared<Watch>();
    std::thread([pid, watch] {
        watch->status = waitForChild(pid);
        watch->ended = true;
        Clock::current().notifyAll();
    }).detach();
    Clock& clock = Clock::current();
    if (!clock.waitUntil([&watch] { return watch->ended.load(); }, clock.now() + limit)) {
        return std::nullopt;
    }
    return watch->status.load();
}

}  // namespace harbormind
