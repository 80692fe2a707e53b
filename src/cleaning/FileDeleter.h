#pragma once

#include <cstdint>
#include <string>

#include "cleaning/DMDeleteFaileRecord.h"
#include "cleaning/FolderTreeNode.h"
#include "platform/DirectoryWalker.h"

namespace harbormind {

// Deletes what is marked in a scanned tree and keeps the tree consistent: removed entries leave
// the tree and their totals leave every ancestor; entries that cannot be removed are unmarked
// and counted in the failure record, with the reason; what is removed is counted there too.
//
// Removal goes through open folder handles from the anchored node down, never through a
// symbolic link, and only removes an entry that is the very object the scan saw (same device,
// inode and kind). A folder that is no longer what was scanned, or that is another mount than
// its parent's, is not entered; it counts as one failed folder.
class FileDeleter {
public:
    FileDeleter(DirectoryWalker& walker, DMDeleteFaileRecord& record);

    // The deletion of one node and the marked entries below it.
    void deleteNode(FolderTreeNode* node);
    // The drive-clear pass over a scanned top folder.
    void driveClearPass(FolderTreeNode* top);
    // The junk pass over a top node whose children are categories.
    void junkPass(FolderTreeNode* root);

private:
    struct OpenFolder {
        DirectoryWalker::Handle handle = DirectoryWalker::invalidHandle;
        std::uint64_t device = 0;
        std::uint64_t mountId = 0;
    };

    // Why an entry stays: the platform's error number, or one of these.
    static constexpr int removed = 0;
    static constexpr int changedSinceScan = -1;
    static constexpr int otherMount = -2;
    static constexpr int cannotOpen = -3;

    void deleteIn(FolderTreeNode* node, const OpenFolder* container);
    // `removed` when the folder is open as `self`, otherwise why it is not entered.
    int openSelf(FolderTreeNode* node, const OpenFolder* container, OpenFolder& self);
    int removeEntry(FolderTreeNode* node, const OpenFolder* container);
    void handleOutcome(FolderTreeNode* node, int outcome);
    void keepPlace(FolderTreeNode* node);
    static std::string reasonFor(int outcome);

    DirectoryWalker& walker_;
    DMDeleteFaileRecord& record_;
};

}  // namespace harbormind
