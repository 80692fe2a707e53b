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
    : DMFolderManager(walker, &FileDeleter::junkPass), locations_(locations), users_(users) {}

void DMFileClearManager::setFilterSize(std::int64_t size) {
    filterSize_ = size;
}

void DMFileClearManager::bulidTree() {
    std::shared_ptr<State> state = state_;
    Dispatch::global()->async([state, locations = locations_, users = users_, filterSize = filterSize_.load()] {
        const std::weak_ptr<DMFolderManagerDelegate> delegate = state->currentDelegate();
        std::vector<JunkCategory> table;
        if (state->walker != nullptr && locations != nullptr && users != nullptr) {
            std::string home = ClearTools::getUserPath(*users);
            table = JunkTreeBuilder::composeTable(*state->walker, *locations, home);
        }
        std::shared_ptr<FolderTreeNode> root;
        if (state->walker != nullptr) {
            root = JunkTreeBuilder::build(*state->walker, table, filterSize, delegate);
        }
        state->setRoot(root);
        if (auto receiver = delegate.lock()) {
            receiver->searchFinish();
        }
    });
}

}  // namespace harbormind
