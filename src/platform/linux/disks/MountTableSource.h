#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/linux/disks/MountTable.h"

namespace harbormind {

// The mount table, read again only when it changed. The kernel marks an open /proc mount table
// as changed (POLLPRI) on every mount and unmount in the process's namespace, so the table is
// kept until that mark is seen. A table in an ordinary file (a test's) has no such mark and is
// read on every call.
class MountTableSource {
public:
    explicit MountTableSource(std::string path);
    ~MountTableSource();
    MountTableSource(const MountTableSource&) = delete;
    MountTableSource& operator=(const MountTableSource&) = delete;

    // The table as it is now.
    std::shared_ptr<const MountTable> current();

private:
    bool changedSinceLastRead();

    std::string path_;
    int watched_ = -1;  // the open /proc table whose change mark is polled
    std::mutex mutex_;
    std::shared_ptr<const MountTable> table_;
};

}  // namespace harbormind
