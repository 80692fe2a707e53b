#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/JunkLocations.h"

namespace harbormind {

class CliContext;
class DirectoryWalker;
class FolderTreeNode;

// The junk categories of the user running the command and the walker that reads them, as the
// junk window finds them.
class CliJunkPlaces {
public:
    // None, after saying why under the verb's name, when the platform cannot scan junk places
    // or the user database has no home folder for this user.
    static std::optional<CliJunkPlaces> find(CliContext& context, const std::string& verb);

    // The categories scanned, hiding those the junk window hides (1 M or less).
    std::shared_ptr<FolderTreeNode> scan() const;

    DirectoryWalker* walker;
    std::vector<JunkCategory> table;
};

}  // namespace harbormind
