#include "engines/clone/CloneMapStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "support/Log.h"

namespace harbormind::clone {
namespace {

std::string hashName(const std::string& identity) {
    std::uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a
    for (unsigned char c : identity) {
        hash = (hash ^ c) * 0x100000001b3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

bool writeWhole(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::string> readWhole(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return text;
}

void syncFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

CloneMapStore::CloneMapStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path CloneMapStore::fileFor(const std::string& destinationIdentity) const {
    return folder_ / ("clone-" + hashName(destinationIdentity) + ".map");
}

CloneMapStore::Found CloneMapStore::find(const std::string& destinationIdentity) const {
    Found found;
    auto text = readWhole(fileFor(destinationIdentity));
    if (!text) {
        return found;
    }
    auto map = CloneMap::parse(*text);
    if (map && map->destinationIdentity != destinationIdentity) {
        return found;  // a hash collision: the map belongs to another destination
    }
    found.present = true;
    if (!map) {
        Log::warning("clone: the map " + fileFor(destinationIdentity).string() +
                     " is damaged; it is not used");
    }
    found.map = std::move(map);
    return found;
}

std::optional<CloneMap> CloneMapStore::load(const std::string& destinationIdentity) const {
    return find(destinationIdentity).map;
}

bool CloneMapStore::save(const CloneMap& map) const {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    ::chmod(folder_.c_str(), 0700);
    std::filesystem::path target = fileFor(map.destinationIdentity);
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    ::unlink(temporary.c_str());
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        Log::warning("clone: cannot write " + temporary.string() + ": " + std::strerror(errno));
        return false;
    }
    bool ok = writeWhole(fd, map.serialize()) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temporary.c_str(), target.c_str()) != 0) {
        Log::warning("clone: cannot save the map " + target.string());
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder_);
    return true;
}

void CloneMapStore::remove(const std::string& destinationIdentity) const {
    ::unlink(fileFor(destinationIdentity).c_str());
    syncFolder(folder_);
}

}  // namespace harbormind::clone
