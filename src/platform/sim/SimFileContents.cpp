#include "platform/sim/SimFileContents.h"

#include "platform/FileEvents.h"
#include "platform/sim/SimFileEvents.h"
#include "platform/sim/SimPaths.h"

namespace harbormind {
bool SimFileContents::folderExists(const std::string& path) const {
    return missingFolders_.count(SimPaths::folderOf(path)) == 0;
}

void SimFileContents::changed(const std::string& path, std::uint32_t flags) {
    if (events_ != nullptr) {
        events_->post(path, flags | FileEvents::eventItemIsFile);
    }
}

bool SimFileContents::exists(const std::string& path) {
    std::lock_guard lock(mutex_);
    return files_.count(path) != 0;
}

FileReadResult SimFileContents::read(const std::string& path, std::size_t limit) {
    std::lock_guard lock(mutex_);
    auto file = files_.find(path);
    if (file == files_.end()) {
        return {FileReadStatus::Missing, {}};
    }
    if (file->second.size() > limit) {
        return {FileReadStatus::TooLarge, {}};
    }
    return {FileReadStatus::Read, file->second};
}

bool SimFileContents::createEmpty(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        if (files_.count(path) != 0) {
            return true;
        }
        if (!folderExists(path)) {
            return false;
        }
        files_[path];
    }
    changed(path, FileEvents::eventItemCreated);
    return true;
}

bool SimFileContents::append(const std::string& path, const std::string& bytes) {
    {
        std::lock_guard lock(mutex_);
        auto file = files_.find(path);
        if (file == files_.end()) {
            return false;
        }
        file->second += bytes;
    }
    changed(path, FileEvents::eventItemModified);
    return true;
}

bool SimFileContents::replace(const std::string& path, const std::string& bytes) {
    {
        std::lock_guard lock(mutex_);
        if (!folderExists(path)) {
            return false;
        }
        files_[path] = bytes;
    }
    changed(path, FileEvents::eventItemRenamed);
    return true;
}

void SimFileContents::setFile(const std::string& path, std::string bytes) {
    {
        std::lock_guard lock(mutex_);
        files_[path] = std::move(bytes);
    }
    changed(path, FileEvents::eventItemModified);
}

void SimFileContents::removeFile(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        files_.erase(path);
    }
    changed(path, FileEvents::eventItemRemoved);
}

void SimFileContents::setFolderMissing(const std::string& folder) {
    std::lock_guard lock(mutex_);
    missingFolders_[folder] = true;
}

}  // namespace harbormind
