#include "network/SavedNetworkDrivesFile.h"

#include "platform/FileStore.h"
#include "platform/Platform.h"
#include "support/Log.h"

namespace harbormind {
namespace {

FileStore* fileStore() {
    return Platform::current().fileStore();
}

}  // namespace

SavedNetworkDrivesFile::SavedNetworkDrivesFile(std::string path) : path_(std::move(path)) {}

bool SavedNetworkDrivesFile::damaged() const {
    std::lock_guard lock(mutex_);
    return damaged_;
}

std::optional<NetworkDriveArchive::Contents> SavedNetworkDrivesFile::load() {
    FileStore* files = fileStore();
    if (!files) {
        return std::nullopt;
    }
    std::optional<FileStore::Bytes> bytes = files->read(path_);
    std::lock_guard lock(mutex_);
    seen_ = bytes;
    if (!bytes) {
        // A file that is there but cannot be read is kept as it is.
        damaged_ = files->exists(path_);
        return std::nullopt;
    }
    NetworkDriveArchive::Contents contents = NetworkDriveArchive::decode(*bytes);
    if (contents.damaged) {
        Log::warning("The saved network drives in " + path_ + " are damaged; what can be read is loaded");
    }
    damaged_ = contents.damaged;
    return contents;
}

std::optional<SavedNetworkDrivesFile::Reading> SavedNetworkDrivesFile::poll() {
    FileStore* files = fileStore();
    if (!files) {
        return std::nullopt;
    }
    // The count is taken before the read: a write of this process that ends after it makes
    // what was read out of date.
    Reading reading;
    {
        std::lock_guard lock(mutex_);
        reading.generation = generation_;
    }
    reading.bytes = files->read(path_);
    std::lock_guard lock(mutex_);
    if (reading.generation != generation_ || reading.bytes == seen_) {
        return std::nullopt;
    }
    return reading;
}

std::optional<NetworkDriveArchive::Contents> SavedNetworkDrivesFile::follow(const Reading& reading) {
    NetworkDriveArchive::Contents contents;
    if (reading.bytes) {
        contents = NetworkDriveArchive::decode(*reading.bytes);
    }
    std::lock_guard lock(mutex_);
    if (reading.generation != generation_) {
        return std::nullopt;
    }
    seen_ = reading.bytes;
    ++generation_;
    if (contents.damaged) {
        return std::nullopt;
    }
    return contents;
}

bool SavedNetworkDrivesFile::makeWritable(Change change) {
    FileStore* files = fileStore();
    if (!files) {
        return false;
    }
    std::lock_guard lock(mutex_);
    if (!damaged_) {
        return true;
    }
    if (change == Change::Automatic) {
        return false;
    }
    if (files->exists(path_) && !files->moveAside(path_, ".damaged")) {
        Log::warning("Could not keep the damaged " + path_ + " aside; it is not replaced");
        return false;
    }
    damaged_ = false;
    return true;
}

bool SavedNetworkDrivesFile::write(const std::vector<NetworkDriveRecord>& records) {
    FileStore* files = fileStore();
    if (!files) {
        return false;
    }
    // The file names the user's servers and accounts: theirs alone, also when an older version
    // left it readable by others (a write replaces the file, and its mode).
    FileStore::Bytes bytes = NetworkDriveArchive::encode(records);
    if (!files->write(path_, bytes, FileStore::Privacy::OwnerOnly)) {
        Log::warning("Could not write the saved network drives to " + path_);
        return false;
    }
    // What this process wrote is no change to follow.
    std::lock_guard lock(mutex_);
    seen_ = std::move(bytes);
    ++generation_;
    return true;
}

}  // namespace harbormind
