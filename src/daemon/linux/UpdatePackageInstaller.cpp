#include "daemon/linux/UpdatePackageInstaller.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/linux/files/WholeFileWriter.h"
#include "support/Log.h"
#include "update/UpdateSignature.h"

namespace harbormind {
namespace {

constexpr std::int64_t failed = 1;

// Everything the descriptor gives until its end, at most `limit` bytes; nothing when it
// gives more or cannot be read.
std::optional<std::string> readAll(int fd, std::size_t limit) {
    std::string contents;
    char buffer[65536];
    ssize_t count;
    while ((count = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (contents.size() + static_cast<std::size_t>(count) > limit) {
            return std::nullopt;
        }
        contents.append(buffer, static_cast<std::size_t>(count));
    }
    return contents;
}

bool writeAll(int fd, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        ssize_t count = ::write(fd, contents.data() + done, contents.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return ::fsync(fd) == 0;
}

std::string lastLineOf(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    auto line = text.rfind('\n');
    return line == std::string::npos ? text : text.substr(line + 1);
}

}  // namespace

UpdatePackageInstaller::UpdatePackageInstaller(UpdateInstallSettings settings) : settings_(std::move(settings)) {}

bool UpdatePackageInstaller::prepareFolder() const {
    if (!WholeFileWriter::makeFolders(settings_.folder, 0700)) {
        return false;
    }
    struct stat facts {};
    if (::lstat(settings_.folder.c_str(), &facts) != 0 || !S_ISDIR(facts.st_mode) || facts.st_uid != ::geteuid()) {
        return false;
    }
    return (facts.st_mode & 077) == 0 || ::chmod(settings_.folder.c_str(), 0700) == 0;
}

CodeResult UpdatePackageInstaller::install(int packageFd, int signatureFd) const {
    if (settings_.publicKeyHex.empty()) {
        return {failed, "this build installs no updates"};
    }
    auto signature = readAll(signatureFd, maxSignatureBytes);
    if (!signature) {
        return {failed, "the signature cannot be read"};
    }
    if (!prepareFolder()) {
        return {failed, "the folder for updates (" + settings_.folder + ") cannot be made root's own"};
    }
    std::string path = settings_.folder + "/update-XXXXXX.deb";
    int copy = ::mkstemps(path.data(), 4);
    if (copy < 0) {
        return {failed, "no copy of the update can be made: " + std::string(std::strerror(errno))};
    }
    // The bytes checked are the bytes written to the copy, which only root may change.
    auto package = readAll(packageFd, maxPackageBytes);
    const bool copied = package && writeAll(copy, *package);
    ::close(copy);
    CodeResult reply{failed, {}};
    if (!copied) {
        reply.message = "the update cannot be read or copied (at most 256 MiB)";
    } else if (!UpdateSignature::verify(*package, *signature, settings_.publicKeyHex)) {
        Log::warning("an update without a valid signature was refused");
        reply.message = "the update does not carry a valid signature; nothing was installed";
    } else {
        std::string lastLine;
        int status = runInstaller(path, lastLine);
        reply = status == 0 ? CodeResult{0, "the update was installed"}
                            : CodeResult{failed, "the package manager failed (status " + std::to_string(status) +
                                                          (lastLine.empty() ? ")" : "): " + lastLine)};
    }
    ::unlink(path.c_str());
    return reply;
}

int UpdatePackageInstaller::runInstaller(const std::string& path, std::string& lastLine) const {
    int output[2] = {-1, -1};
    if (::pipe2(output, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_adddup2(&actions, output[1], 2);
    std::vector<std::string> argv = settings_.installCommand;
    argv.push_back(path);
    std::vector<char*> raw;
    for (auto& argument : argv) {
        raw.push_back(argument.data());
    }
    raw.push_back(nullptr);
    // The package manager runs as root: a fixed environment, never the caller's.
    std::string searchPath = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
    std::string locale = "LC_ALL=C";
    std::string frontend = "DEBIAN_FRONTEND=noninteractive";
    char* environment[] = {searchPath.data(), locale.data(), frontend.data(), nullptr};
    pid_t pid = 0;
    int spawned = ::posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    if (spawned != 0) {
        ::close(output[0]);
        return -1;
    }
    // All of the output is read (a full pipe would stop the package manager); its end is kept.
    std::string text;
    char buffer[4096];
    ssize_t count;
    while ((count = ::read(output[0], buffer, sizeof buffer)) != 0) {
        if (count > 0) {
            text.append(buffer, static_cast<std::size_t>(count));
            if (text.size() > 65536) {
                text.erase(0, text.size() - 4096);
            }
        } else if (errno != EINTR) {
            break;
        }
    }
    ::close(output[0]);
    lastLine = lastLineOf(text);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace harbormind
