#include "daemon/linux/DaemonConfigFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "support/Log.h"

namespace harbormind {
namespace {

std::string trimmed(const std::string& text) {
    auto first = text.find_first_not_of(" \t\r");
    auto last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The whole file, when it may be trusted; nothing otherwise.
std::optional<std::string> trustedText(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    std::optional<std::string> text;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
        (status.st_mode & (S_IWGRP | S_IWOTH)) == 0 && status.st_size < 65536) {
        std::string content(static_cast<std::size_t>(status.st_size), '\0');
        ssize_t got = ::read(fd, content.data(), content.size());
        if (got == status.st_size) {
            text = std::move(content);
        }
    } else {
        Log::warning(path + " is ignored: it must be a file of the daemon's user that nobody else may change");
    }
    ::close(fd);
    return text;
}

}  // namespace

DaemonConfigFile DaemonConfigFile::read(const std::string& path) {
    DaemonConfigFile config;
    auto text = trustedText(path);
    if (!text) {
        return config;
    }
    std::istringstream lines(*text);
    std::string line;
    while (std::getline(lines, line)) {
        line = trimmed(line.substr(0, line.find('#')));
        auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        if (trimmed(line.substr(0, equals)) == "group") {
            std::string group = trimmed(line.substr(equals + 1));
            if (!group.empty()) {
                config.group = group;
            }
        }
    }
    return config;
}

}  // namespace harbormind
