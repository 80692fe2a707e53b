#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cleaning/DMFolderManagerDelegate.h"
#include "cleaning/FolderTreeNode.h"
#include "cleaning/FolderTreeStorage.h"
#include "platform/DirectoryWalker.h"

namespace harbormind {

// Fills a tree from the file system: every entry below the start becomes a node, folders first
// (in reverse listing order), then files and links (in listing order); links are never followed
// and count 0 bytes; a file counts its apparent size.
class FolderScanner {
public:
    FolderScanner(DirectoryWalker& walker, FolderTreeStorage& storage,
                  std::weak_ptr<DMFolderManagerDelegate> delegate);

    // Scans the folder at `top`'s path (followed when it is a link) into `top`.
    void scan(FolderTreeNode* top);

    // A new tree whose top node is named `path` and scanned from it.
    static std::shared_ptr<FolderTreeNode> scanPath(DirectoryWalker& walker, const std::string& path,
                                                    std::weak_ptr<DMFolderManagerDelegate> delegate);

private:
    void scanFolder(FolderTreeNode* node, DirectoryWalker::Handle parent, std::size_t depth);
    void fillChildren(FolderTreeNode* node, const DirectoryListing& listing,
                      DMFolderManagerDelegate* delegate);

    DirectoryWalker& walker_;
    FolderTreeStorage& storage_;
    std::weak_ptr<DMFolderManagerDelegate> delegate_;
    // One listing buffer per depth, reused from folder to folder.
    std::vector<std::unique_ptr<DirectoryListing>> listings_;
};

}  // namespace harbormind
