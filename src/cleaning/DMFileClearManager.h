#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "cleaning/DMDeleteFaileRecord.h"
#include "cleaning/DMFolderManagerDelegate.h"
#include "cleaning/FolderTreeNode.h"
#include "platform/DirectoryWalker.h"
#include "platform/JunkLocations.h"
#include "platform/UserDatabase.h"

namespace harbormind {

// Builds the junk tree from the platform's category table and deletes what is marked in it,
// each on a background thread, reporting through the delegate.
class DMFileClearManager {
public:
    // The process-wide instance, on the current platform's services.
    static DMFileClearManager& shared();

    // A missing service (nullptr) makes builds empty and passes do nothing.
    DMFileClearManager(DirectoryWalker* walker, JunkLocations* locations, UserDatabase* users);

    void setDelegate(std::weak_ptr<DMFolderManagerDelegate> delegate);
    std::shared_ptr<DMFolderManagerDelegate> delegate() const;

    void setFilterSize(std::int64_t size);
    // Builds the junk tree in the background, then sends searchFinish.
    void bulidTree();
    std::shared_ptr<FolderTreeNode> getRoot() const;

    // Clears the failure record and runs the junk pass in the background, then sends
    // deleteFileFinish. Answers 0 at once.
    int deleteFiles();
    const DMDeleteFaileRecord& getFaileRecord() const;

private:
    struct State {
        DirectoryWalker* walker = nullptr;
        JunkLocations* locations = nullptr;
        UserDatabase* users = nullptr;
        mutable std::mutex mutex;
        std::shared_ptr<FolderTreeNode> root;
        DMDeleteFaileRecord record;
        std::weak_ptr<DMFolderManagerDelegate> delegate;
        std::int64_t filterSize = 0;
    };
    std::shared_ptr<State> state_;
};

}  // namespace harbormind
