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

DMFileScanManager::DMFileScanManager(DirectoryWalker* walker) : state_(std::make_shared<State>(walker)) {}

void DMFileScanManager::setDelegate(std::weak_ptr<DMFolderManagerDelegate> delegate) {
    std::lock_guard lock(state_->mutex);
    state_->delegate = std::move(delegate);
}

std::shared_ptr<DMFolderManagerDelegate> DMFileScanManager::delegate() const {
    std::lock_guard lock(state_->mutex);
    return state_->delegate.lock();
}

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

std::shared_ptr<FolderTreeNode> DMFileScanManager::getRoot() const {
    std::lock_guard lock(state_->mutex);
    return state_->root;
}

int DMFileScanManager::deleteFiles() {
    std::shared_ptr<FolderTreeNode> root;
    std::weak_ptr<DMFolderManagerDelegate> delegate;
    {
        std::lock_guard lock(state_->mutex);
        state_->record.clear();
        root = state_->root;
        delegate = state_->delegate;
    }
    std::shared_ptr<State> state = state_;
    Dispatch::global()->async([state, root, delegate] {
        if (state->walker != nullptr) {
            FileDeleter deleter(*state->walker, state->record);
            deleter.driveClearPass(root.get());
        }
        if (auto receiver = delegate.lock()) {
            receiver->deleteFileFinish();
        }
    });
    return 0;
}

const DMDeleteFaileRecord& DMFileScanManager::getFaileRecord() const {
    return state_->record;
}

}  // namespace harbormind
