#include "platform/linux/StandInLinuxServices.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace harbormind::standin {

ProcessResult ProcessLauncherStandIn::run(const std::string& launchPath, const std::vector<std::string>& arguments,
                                          const std::optional<std::string>& input) {
    ProcessResult result;
    int out[2];
    int err[2];
    int in[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 || ::pipe2(in, O_CLOEXEC) != 0) {
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<std::string> argv{launchPath};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> raw;
    for (auto& argument : argv) {
        raw.push_back(argument.data());
    }
    raw.push_back(nullptr);
    pid_t pid = 0;
    int spawned = launchPath.find('/') == std::string::npos
                      ? ::posix_spawnp(&pid, launchPath.c_str(), &actions, nullptr, raw.data(), environ)
                      : ::posix_spawn(&pid, launchPath.c_str(), &actions, nullptr, raw.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    if (spawned != 0) {
        ::close(in[1]);
        ::close(out[0]);
        ::close(err[0]);
        return result;
    }
    result.launched = true;
    if (input) {
        std::size_t written = 0;
        while (written < input->size()) {
            ssize_t n = ::write(in[1], input->data() + written, input->size() - written);
            if (n <= 0) {
                break;
            }
            written += static_cast<std::size_t>(n);
        }
    }
    ::close(in[1]);
    std::array<pollfd, 2> fds{{{out[0], POLLIN, 0}, {err[0], POLLIN, 0}}};
    std::array<char, 65536> buffer{};
    int open = 2;
    while (open > 0) {
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            break;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            ssize_t n = ::read(fds[i].fd, buffer.data(), buffer.size());
            if (n > 0) {
                (i == 0 ? result.standardOutput : result.standardError).append(buffer.data(), static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::pair<bool, std::optional<std::string>> ScriptRunnerStandIn::run(const std::string& commandLine,
                                                                     ScriptPrivilege) {
    ProcessResult result = processes_.run("/bin/sh", {"-c", commandLine}, std::nullopt);
    return {result.launched && result.exitStatus == 0, result.standardOutput};
}

bool PowerSourceStandIn::hasExternalAdapter() {
    std::error_code error;
    for (std::filesystem::directory_iterator it("/sys/class/power_supply", error), end; !error && it != end;
         it.increment(error)) {
        std::FILE* file = std::fopen((it->path() / "online").c_str(), "r");
        if (file == nullptr) {
            continue;
        }
        int online = std::fgetc(file);
        std::fclose(file);
        if (online == '1') {
            return true;
        }
    }
    return false;
}

std::optional<std::string> UserDatabaseStandIn::currentUserHome() {
    passwd* entry = ::getpwuid(::getuid());
    if (entry == nullptr || entry->pw_dir == nullptr) {
        return std::nullopt;
    }
    return std::string(entry->pw_dir);
}

std::optional<std::string> UserDatabaseStandIn::currentUserName() {
    passwd* entry = ::getpwuid(::getuid());
    if (entry == nullptr || entry->pw_name == nullptr) {
        return std::nullopt;
    }
    return std::string(entry->pw_name);
}

std::string UserDatabaseStandIn::processHome() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : currentUserHome().value_or("/");
}

std::optional<std::string> UserDatabaseStandIn::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

FileSystemSpace FileSystemInfoStandIn::space(const std::string& mountPoint) {
    struct statvfs facts {};
    if (::statvfs(mountPoint.c_str(), &facts) != 0) {
        return {};
    }
    return {static_cast<std::int64_t>(facts.f_blocks * facts.f_frsize),
            static_cast<std::int64_t>(facts.f_bavail * facts.f_frsize)};
}

bool FileSystemInfoStandIn::exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

bool FileSystemInfoStandIn::isReadable(const std::string& path) {
    return ::access(path.c_str(), R_OK) == 0;
}

bool FileSystemInfoStandIn::isWritable(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

bool FileSystemInfoStandIn::canListFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::directory_iterator it(path, error);
    return !error;
}

bool WorkspaceStandIn::openFolder(const std::string&) {
    return false;
}

bool WorkspaceStandIn::openURL(const std::string&) {
    return false;
}

}  // namespace harbormind::standin
