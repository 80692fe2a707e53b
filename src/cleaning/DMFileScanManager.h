#pragma once

#include <string>

#include "cleaning/DMFolderManager.h"

namespace harbormind {

// Scans one folder into a tree (drive clear) and deletes what is marked in it with the
// drive-clear pass, each on a background thread, reporting through the delegate.
class DMFileScanManager : public DMFolderManager {
public:
    // The process-wide instance, on the current platform's directory walker.
    static DMFileScanManager& shared();

    // A platform without a directory walker (nullptr) scans nothing and deletes nothing.
    explicit DMFileScanManager(DirectoryWalker* walker);

    // Replaces the tree with a new top node named `path` and scans it in the background, then
    // sends searchFinish. Does nothing for a path that is not UTF-8.
    void bulidTree(const std::string& path);
};

}  // namespace harbormind
