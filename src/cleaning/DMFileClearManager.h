#pragma once

#include <atomic>
#include <cstdint>

#include "cleaning/DMFolderManager.h"
#include "platform/JunkLocations.h"
#include "platform/UserDatabase.h"

namespace harbormind {

// Builds the junk tree from the platform's category table and deletes what is marked in it
// with the junk pass, each on a background thread, reporting through the delegate.
class DMFileClearManager : public DMFolderManager {
public:
    // The process-wide instance, on the current platform's services.
    static DMFileClearManager& shared();

    // A missing service (nullptr) makes builds empty and passes do nothing.
    DMFileClearManager(DirectoryWalker* walker, JunkLocations* locations, UserDatabase* users);

    void setFilterSize(std::int64_t size);
    // Builds the junk tree in the background, then sends searchFinish.
    void bulidTree();

private:
    JunkLocations* locations_;
    UserDatabase* users_;
    std::atomic<std::int64_t> filterSize_{0};
};

}  // namespace harbormind
