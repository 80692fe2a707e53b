#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cleaning/DMFolderManagerDelegate.h"
#include "cleaning/FolderTreeNode.h"
#include "platform/DirectoryWalker.h"
#include "platform/JunkLocations.h"

namespace harbormind {

// Builds the junk tree: a top node without a name whose children are the categories larger
// than the filter size, each holding the non-empty places (or, for categories that show the
// entries of their places, the non-empty entries found directly inside them).
class JunkTreeBuilder {
public:
    // The platform's table with the per-application container places added: for each
    // sub-folder of the containers folder, in listing order, the folder plus each category's
    // container suffix, unless that is a symbolic link (a missing place is added; it scans empty).
    static std::vector<JunkCategory> composeTable(DirectoryWalker& walker, JunkLocations& locations,
                                                  const std::string& home);

    static std::shared_ptr<FolderTreeNode> build(DirectoryWalker& walker,
                                                 const std::vector<JunkCategory>& table,
                                                 std::int64_t filterSize,
                                                 std::weak_ptr<DMFolderManagerDelegate> delegate);
};

}  // namespace harbormind
