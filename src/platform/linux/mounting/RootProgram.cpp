#include "platform/linux/mounting/RootProgram.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace harbormind {

std::optional<std::string> RootProgram::find(const std::string& name) {
    for (const char* folder :
         {"/usr/bin", "/usr/sbin", "/bin", "/sbin", "/usr/local/bin", "/usr/local/sbin"}) {
        std::string path = std::string(folder) + "/" + name;
        if (::access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return std::nullopt;
}

int RootProgram::run(const std::string& path, const std::vector<std::string>& arguments,
                     const std::optional<std::string>& input) {
    int in[2] = {-1, -1};
    if (input && ::pipe2(in, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
    if (input) {
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    }
    std::vector<std::string> argv{path};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> raw;
    for (auto& argument : argv) {
        raw.push_back(argument.data());
    }
    raw.push_back(nullptr);
    std::string searchPath = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
    std::string locale = "LC_ALL=C";
    char* environment[] = {searchPath.data(), locale.data(), nullptr};
    pid_t pid = 0;
    int spawned = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, raw.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    if (input) {
        ::close(in[0]);
        if (spawned == 0) {
            [[maybe_unused]] auto written = ::write(in[1], input->data(), input->size());
        }
        ::close(in[1]);
    }
    if (spawned != 0) {
        return -1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace harbormind
