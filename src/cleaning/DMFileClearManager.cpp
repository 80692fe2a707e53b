#include "cleaning/DMFileClearManager.h"

#include "cleaning/ClearTools.h"
#include "cleaning/FileDeleter.h"
#include "cleaning/JunkTreeBuilder.h"
#include "platform/Platform.h"
#include "support/Dispatch.h"

namespace harbormind {

DMFileClearManager& DMFileClearManager::shared() {
    // Made once, under the lock of a function-local static; never destroyed, because passes
    // may still run on background threads while the process exits.
    static DMFileClearManager* instance = [] {
        Platform& platform = Platform::current();
        return new DMFileClearManager(platform.directoryWalker(), platform.junkLocations(), &platform.users());
    }();
    return *instance;
}

DMFileClearManager::DMFileClearManager(DirectoryWalker* walker, JunkLocations* locations, UserDatabase* users)
    : state_(std::make_shared<State>()) {
    state_->walker = walker;
    state_->locations = locations;
    state_->users = users;
}

void DMFileClearManager::setDelegate(std::weak_ptr<DMFolderManagerDelegate> delegate) {
    std::lock_guard lock(state_->mutex);
    state_->delegate = std::move(delegate);
}

std::shared_ptr<DMFolderManagerDelegate> DMFileClearManager::delegate() const {
    std::lock_guard lock(state_->mutex);
    return state_->delegate.lock();
}

void DMFileClearManager::setFilterSize(std::int64_t size) {
    std::lock_guard lock(state_->mutex);
    state_->filterSize = size;
}

void DMFileClearManager::bulidTree() {
    std::shared_ptr<State> state = state_;
    Dispatch::global()->async([state] {
        std::weak_ptr<DMFolderManagerDelegate> delegate;
        std::int64_t filterSize = 0;
        {
            std::lock_guard lock(state->mutex);
            delegate = state->delegate;
            filterSize = state->filterSize;
        }
        std::vector<JunkCategory> table;
        if (state->walker != nullptr && state->locations != nullptr && state->users != nullptr) {
            std::string home = ClearTools::getUserPath(*state->users);
            table = JunkTreeBuilder::composeTable(*state->walker, *state->locations, home);
        }
        std::shared_ptr<FolderTreeNode> root;
        if (state->walker != nullptr) {
            root = JunkTreeBuilder::build(*state->walker, table, filterSize, delegate);
        }
        {
            std::lock_guard lock(state->mutex);
            state->root = root;
        }
        if (auto receiver = delegate.lock()) {
            receiver->searchFinish();
        }
    });
}

std::shared_ptr<FolderTreeNode> DMFileClearManager::getRoot() const {
    std::lock_guard lock(state_->mutex);
    return state_->root;
}

int DMFileClearManager::deleteFiles() {
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
            deleter.junkPass(root.get());
        }
        if (auto receiver = delegate.lock()) {
            receiver->deleteFileFinish();
        }
    });
    return 0;
}

const DMDeleteFaileRecord& DMFileClearManager::getFaileRecord() const {
    return state_->record;
}

}  // namespace harbormind
