#pragma once

#include "platform/DirectoryWalker.h"

namespace harbormind {

// An open folder handle shared by the sub-folders still to be opened through it; the handle is
// closed when the last of them has let go, so a walk keeps open only the folders it still needs.
class OpenFolder {
public:
    OpenFolder(DirectoryWalker& walker, DirectoryWalker::Handle handle) : walker_(walker), handle_(handle) {}
    ~OpenFolder() { walker_.close(handle_); }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    DirectoryWalker::Handle handle() const { return handle_; }

private:
    DirectoryWalker& walker_;
    DirectoryWalker::Handle handle_;
};

}  // namespace harbormind
