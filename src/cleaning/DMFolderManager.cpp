#include "cleaning/DMFolderManager.h"

#include "cleaning/FileDeleter.h"
#include "support/Dispatch.h"

namespace harbormind {

DMFolderManager::DMFolderManager(DirectoryWalker* walker, Pass pass) : state_(std::make_shared<State>(walker, pass)) {}

std::weak_ptr<DMFolderManagerDelegate> DMFolderManager::State::currentDelegate() const {
    std::lock_guard lock(mutex);
    return delegate;
}

void DMFolderManager::State::setRoot(std::shared_ptr<FolderTreeNode> tree) {
    std::lock_guard lock(mutex);
    root = std::move(tree);
}

void DMFolderManager::setDelegate(std::weak_ptr<DMFolderManagerDelegate> delegate) {
    std::lock_guard lock(state_->mutex);
    state_->delegate = std::move(delegate);
}

std::shared_ptr<DMFolderManagerDelegate> DMFolderManager::delegate() const {
    return state_->currentDelegate().lock();
}

std::shared_ptr<FolderTreeNode> DMFolderManager::getRoot() const {
    std::lock_guard lock(state_->mutex);
    return state_->root;
}

int DMFolderManager::deleteFiles() {
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
            (deleter.*(state->pass))(root.get());
        }
        if (auto receiver = delegate.lock()) {
            receiver->deleteFileFinish();
        }
    });
    return 0;
}

const DMDeleteFaileRecord& DMFolderManager::getFaileRecord() const {
    return state_->record;
}

}  // namespace harbormind
