#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cleaning/FolderTreeNode.h"
#include "platform/JunkLocations.h"

namespace harbormind {

// Plain-text and JSON descriptions of scanned trees, for the command-line front end.
class CleaningReport {
public:
    // The total size, file and folder counts, then up to `largest` of the top's entries, largest
    // first, one per line with their size.
    static std::string usageText(const FolderTreeNode& top, std::size_t largest);
    // The tree as JSON: name, path, size, counts, and children (down to `depth` levels below the
    // top when given). Names that are not UTF-8 are shown with replacement characters.
    static std::string usageJson(const FolderTreeNode& top, std::optional<std::size_t> depth);

    // One block per category of a junk tree: display name, key, size and counts, then its
    // entries with their sizes and the category's explanation.
    static std::string junkText(const FolderTreeNode& root, const std::vector<JunkCategory>& table);
    static std::string junkJson(const FolderTreeNode& root, const std::vector<JunkCategory>& table);
};

}  // namespace harbormind
