#include "cleaning/DMFileScanManager.h"

#include "cleaning/FileDeleter.h"
#include "cleaning/FolderScanner.h"
#include "cleaning/FolderTreeStorage.h"
#include "platform/Platform.h"
#include "support/Dispatch.h"
#include "support/Utf8Text.h"

namespace harbormind {

DMFileScanManager& DMFileScanManager::shared() {
    // Made once, under the lock of a function-local static; never destroyed, because scans
    // may still run on background threads while the process exits.
    static DMFileScanManager* instance = new DMFileScanManager(Platform::current().directoryWalker());
    return *instance;
}

DMFileScanManager::DMFileScanManager(DirectoryWalker* walker) : DMFolderManager(walker, &FileDeleter::driveClearPass) {}

void DMFileScanManager::bulidTree(const std::string& path) {
    if (!Utf8Text::isValid(path)) {
        return;
    }
    auto storage = std::make_shared<FolderTreeStorage>(state_->walker != nullptr ? state_->walker->treeBlocks()
                                                                                : TreeBlockSource::heap());
    FolderTreeNode* top = storage->makeNode(path);
    top->setFullpath(top->getFolderFullPath());
    top->anchor = NodeAnchor::Top;
    std::weak_ptr<DMFolderManagerDelegate> delegate;
    {
        std::lock_guard lock(state_->mutex);
        state_->root = FolderTreeStorage::share(storage, top);
        delegate = state_->delegate;
    }
    std::shared_ptr<State> state = state_;
    Dispatch::global()->async([state, storage, top, delegate] {
        if (state->walker != nullptr) {
            FolderScanner scanner(*state->walker, *storage, delegate);
            scanner.scan(top);
        }
        if (auto receiver = delegate.lock()) {
            receiver->searchFinish();
        }
    });
}

}  // namespace harbormind
