#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "cleaning/SelectMessage.h"

namespace harbormind {

class CliContext;
class FolderTreeNode;

// What the cleaning verbs mark in a scanned tree, how they show it, ask about it and find
// afterwards what could not be deleted.
class CliCleanSelection {
public:
    // Takes note of every marked node of the tree below `top` (before a deletion pass) and
    // counts the entries `levels` below the top (2 for a junk tree, whose categories are
    // groups, not folders on disk).
    explicit CliCleanSelection(const FolderTreeNode* top, int levels = 1);

    const SelectMessage& amount() const { return amount_; }
    bool empty() const { return marked_.empty(); }

    // One line per marked entry whose parent is not marked (or is the top or, with `levels`
    // 2, a category): its size and path.
    static std::string listing(const FolderTreeNode* top, int levels = 1);
    // "N folders, M files, SIZE (B bytes) will be deleted.", the exact count only after a rounded size.
    std::string amountLine() const;
    // The marked entries still in the tree after a pass (leaves only: a folder that stays
    // because something in it failed is not listed itself). `except` is never listed.
    std::vector<std::string> failures(const FolderTreeNode* top, const FolderTreeNode* except = nullptr) const;

    // True with --yes, else when the user answers "y" or "yes" on the input.
    static bool confirm(CliContext& context, bool yes);

    // Recomputes every folder's status from its children, bottom up (after marking entries).
    static void settleStatuses(FolderTreeNode* top);

private:
    std::unordered_set<const FolderTreeNode*> marked_;
    SelectMessage amount_;
};

}  // namespace harbormind
