#pragma once

#include <string>

namespace harbormind {

// Holds a lock on a folder while files in it are read, or read, changed and replaced by
// rename, so programs sharing the folder do not lose each other's changes. The files are
// replaced, so the lock is held on the folder, not on them. No lock is held when the folder
// cannot be opened.
class FolderLock {
public:
    enum class Mode { Shared, Exclusive };

    FolderLock(const std::string& folder, Mode mode);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace harbormind
