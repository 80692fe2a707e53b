#include "platform/linux/settings/LinuxSettingsStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <ctime>

#include "platform/linux/files/WholeFileWriter.h"
#include "platform/linux/settings/FolderLock.h"
#include "platform/linux/settings/PropertyListFile.h"
#include "support/Log.h"

namespace harbormind {
namespace {

std::string folderOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

// A name beside `path` that no file has yet.
std::string damagedCopyPath(const std::string& path) {
    std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm parts{};
    gmtime_r(&now, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &parts);
    std::string base = path + ".damaged-" + stamp;
    std::string candidate = base;
    struct stat info {};
    for (int n = 1; ::lstat(candidate.c_str(), &info) == 0; ++n) {
        candidate = base + "-" + std::to_string(n);
    }
    return candidate;
}

}  // namespace

LinuxSettingsStore::LinuxSettingsStore(std::string path) : path_(std::move(path)) {}

std::optional<PlatformValue> LinuxSettingsStore::value(const std::string& key) {
    if (path_.empty()) {
        return std::nullopt;
    }
    std::lock_guard lock(mutex_);
    PropertyListFile file(path_);
    file.load();
    return file.value(key);
}

std::vector<std::string> LinuxSettingsStore::keys() {
    if (path_.empty()) {
        return {};
    }
    std::lock_guard lock(mutex_);
    PropertyListFile file(path_);
    file.load();
    return file.keys();
}

void LinuxSettingsStore::setValue(const std::string& key, const PlatformValue& value) { change(key, &value); }

void LinuxSettingsStore::removeValue(const std::string& key) { change(key, nullptr); }

bool LinuxSettingsStore::change(const std::string& key, const PlatformValue* value) {
    if (path_.empty()) {
        Log::warning("settings: no file for this domain; \"" + key + "\" is not kept");
        return false;
    }
    std::lock_guard lock(mutex_);
    std::string folder = folderOf(path_);
    if (!WholeFileWriter::makeFolders(folder, 0700)) {
        Log::error("settings: cannot create " + folder + ": " + std::strerror(errno));
        return false;
    }
    FolderLock folderLock(folder, FolderLock::Mode::Exclusive);
    PropertyListFile file(path_);
    PropertyListFile::Status status = file.load();
    if (status == PropertyListFile::Status::Unreadable) {
        Log::error("settings: " + path_ + " cannot be read, so it is not replaced; \"" + key + "\" is not kept");
        return false;
    }
    if (value) {
        file.setValue(key, *value);
    } else if (!file.removeValue(key)) {
        return true;  // nothing to remove, nothing to write
    }
    if (status == PropertyListFile::Status::Damaged) {
        // The damaged file itself is kept under another name, whole: a copy of what was read
        // would lose the tail of a file too large to read.
        std::string copy = damagedCopyPath(path_);
        if (::link(path_.c_str(), copy.c_str()) != 0) {
            Log::error("settings: cannot keep the damaged " + path_ + " aside (" + std::strerror(errno) +
                       "); it is not replaced");
            return false;
        }
        Log::warning("settings: the damaged " + path_ + " was kept as " + copy);
    }
    return file.save();
}

}  // namespace harbormind
