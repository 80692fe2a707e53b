#pragma once

#include <memory>
#include <mutex>

#include "cleaning/DMDeleteFaileRecord.h"
#include "cleaning/DMFolderManagerDelegate.h"
#include "cleaning/FolderTreeNode.h"
#include "platform/DirectoryWalker.h"

namespace harbormind {

class FileDeleter;

// What the junk manager and the drive-clear manager share: the tree of the last build, the
// delegate that hears of builds and deletions, and the deletion of what is marked in the tree,
// run on a background thread with a record of what could not be deleted.
class DMFolderManager {
public:
    void setDelegate(std::weak_ptr<DMFolderManagerDelegate> delegate);
    std::shared_ptr<DMFolderManagerDelegate> delegate() const;
    std::shared_ptr<FolderTreeNode> getRoot() const;

    // Clears the failure record and runs the manager's deletion pass in the background, then
    // sends deleteFileFinish. Answers 0 at once.
    int deleteFiles();
    const DMDeleteFaileRecord& getFaileRecord() const;

protected:
    using Pass = void (FileDeleter::*)(FolderTreeNode* top);

    // A missing walker (nullptr) makes builds empty and deletions do nothing.
    DMFolderManager(DirectoryWalker* walker, Pass pass);
    ~DMFolderManager() = default;

    // Held by the background work too, which may outlive the manager.
    struct State {
        State(DirectoryWalker* scanWalker, Pass deletionPass) : walker(scanWalker), pass(deletionPass) {}
        std::weak_ptr<DMFolderManagerDelegate> currentDelegate() const;
        void setRoot(std::shared_ptr<FolderTreeNode> tree);

        DirectoryWalker* const walker;
        const Pass pass;
        mutable std::mutex mutex;
        std::shared_ptr<FolderTreeNode> root;
        DMDeleteFaileRecord record;
        std::weak_ptr<DMFolderManagerDelegate> delegate;
    };
    std::shared_ptr<State> state_;
};

}  // namespace harbormind
