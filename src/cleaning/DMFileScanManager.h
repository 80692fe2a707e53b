#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "cleaning/DMDeleteFaileRecord.h"
#include "cleaning/DMFolderManagerDelegate.h"
#include "cleaning/FolderTreeNode.h"
#include "platform/DirectoryWalker.h"

namespace harbormind {

// Scans one folder into a tree (drive clear) and deletes what is marked in it, each on a
// background thread, reporting through the delegate.
class DMFileScanManager {
public:
    // The process-wide instance, on the current platform's directory walker.
    static DMFileScanManager& shared();

    // A platform without a directory walker (nullptr) scans nothing and deletes nothing.
    explicit DMFileScanManager(DirectoryWalker* walker);

    void setDelegate(std::weak_ptr<DMFolderManagerDelegate> delegate);
    std::shared_ptr<DMFolderManagerDelegate> delegate() const;

    // Replaces the tree with a new top node named `path` and scans it in the background, then
    // sends searchFinish. Does nothing for a path that is not UTF-8.
    void bulidTree(const std::string& path);
    std::shared_ptr<FolderTreeNode> getRoot() const;

    // Clears the failure record and runs the drive-clear pass in the background, then sends
    // deleteFileFinish. Answers 0 at once.
    int deleteFiles();
    const DMDeleteFaileRecord& getFaileRecord() const;

private:
    struct State {
        explicit State(DirectoryWalker* w) : walker(w) {}
        DirectoryWalker* walker;
        mutable std::mutex mutex;
        std::shared_ptr<FolderTreeNode> root;
        DMDeleteFaileRecord record;
        std::weak_ptr<DMFolderManagerDelegate> delegate;
    };
    std::shared_ptr<State> state_;
};

}  // namespace harbormind
