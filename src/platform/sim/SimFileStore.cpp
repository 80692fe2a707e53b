#include "platform/sim/SimFileStore.h"

namespace harbormind {

std::optional<FileStore::Bytes> SimFileStore::read(const std::string& path) {
    std::lock_guard lock(mutex_);
    auto it = files_.find(path);
    if (it == files_.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool SimFileStore::exists(const std::string& path) {
    std::lock_guard lock(mutex_);
    return files_.contains(path);
}

bool SimFileStore::write(const std::string& path, const Bytes& contents, Privacy) {
    std::lock_guard lock(mutex_);
    if (!writable_) {
        return false;
    }
    files_[path] = contents;
    ++writes_[path];
    return true;
}

std::optional<std::string> SimFileStore::moveAside(const std::string& path, const std::string& suffix) {
    std::lock_guard lock(mutex_);
    auto it = files_.find(path);
    if (it == files_.end() || !writable_) {
        return std::nullopt;
    }
    std::string target = path + suffix;
    for (int n = 2; files_.contains(target); ++n) {
        target = path + suffix + "-" + std::to_string(n);
    }
    files_[target] = it->second;
    files_.erase(path);
    return target;
}

void SimFileStore::put(const std::string& path, const std::string& contents) {
    std::lock_guard lock(mutex_);
    files_[path] = Bytes(contents.begin(), contents.end());
}

std::optional<std::string> SimFileStore::text(const std::string& path) {
    std::lock_guard lock(mutex_);
    auto it = files_.find(path);
    if (it == files_.end()) {
        return std::nullopt;
    }
    return std::string(it->second.begin(), it->second.end());
}

std::map<std::string, FileStore::Bytes> SimFileStore::files() {
    std::lock_guard lock(mutex_);
    return files_;
}

void SimFileStore::setWritable(bool writable) {
    std::lock_guard lock(mutex_);
    writable_ = writable;
}

int SimFileStore::writeCount(const std::string& path) {
    std::lock_guard lock(mutex_);
    auto it = writes_.find(path);
    return it == writes_.end() ? 0 : it->second;
}

}  // namespace harbormind
