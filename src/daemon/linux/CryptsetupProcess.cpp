#include "daemon/linux/CryptsetupProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "daemon/linux/CryptsetupChild.h"

namespace harbormind {
namespace {

void writeAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return;
        }
        written += static_cast<std::size_t>(count);
    }
}

// Reads both pipes to their ends, handing whole output lines on as they come.
void drain(int out, int err, const CryptsetupRunner::LineHandler& onLine, std::string& errorText) {
    std::string pending;
    pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
    int open = 2;
    char buffer[8192];
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        for (auto& entry : fds) {
            if (entry.fd < 0 || entry.revents == 0) {
                continue;
            }
            ssize_t count = ::read(entry.fd, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count <= 0) {
                entry.fd = -1;
                --open;
                continue;
            }
            if (entry.fd == err) {
                errorText.append(buffer, static_cast<std::size_t>(count));
                continue;
            }
            pending.append(buffer, static_cast<std::size_t>(count));
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
                if (onLine) {
                    onLine(pending.substr(0, end));
                }
                pending.erase(0, end + 1);
            }
        }
    }
    if (!pending.empty() && onLine) {
        onLine(pending);
    }
}

}  // namespace

CryptsetupRunner::Result CryptsetupProcess::run(const std::vector<std::string>& arguments, const std::string& input,
                                                const LineHandler& onLine) {
    Result result;
    int in[2], out[2], err[2];
    if (arguments.empty() || ::pipe2(in, O_CLOEXEC) != 0) {
        return result;
    }
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return result;
    }
    std::vector<char*> argv;
    std::vector<std::string> words = arguments;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    // A reencryption runs under a guard that stops it when the daemon dies; every other step
    // (a key slot written, a recovery) is short and is let finish rather than cut in half.
    bool reencryption = arguments.size() > 1 && arguments[1] == "reencrypt";
    pid_t daemon = ::getpid();
    pid_t pid = ::fork();
    if (pid == 0 && reencryption) {
        CryptsetupChild::guard(argv.data(), in[0], out[1], err[1], daemon);
    }
    if (pid == 0) {
        CryptsetupChild::exec(argv.data(), in[0], out[1], err[1], CryptsetupChild::WithParent::keepsRunning);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    if (pid < 0) {
        ::close(in[1]);
        ::close(out[0]);
        ::close(err[0]);
        return result;
    }
    pid_ = pid;
    if (interruptRequested_) {
        ::kill(pid, SIGTERM);
    }
    // Small inputs (a password and a key) fit in the pipe; the program reads them first.
    ::signal(SIGPIPE, SIG_IGN);
    writeAll(in[1], input);
    ::close(in[1]);
    drain(out[0], err[0], onLine, result.errorText);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = 0;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

void CryptsetupProcess::interrupt() {
    interruptRequested_ = true;
    if (pid_t pid = pid_; pid > 0) {
        ::kill(pid, SIGTERM);
    }
}

}  // namespace harbormind
