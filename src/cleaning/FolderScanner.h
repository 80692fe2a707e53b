#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cleaning/DMFolderManagerDelegate.h"
#include "cleaning/FolderTreeNode.h"
#include "cleaning/FolderTreeStorage.h"
#include "platform/DirectoryWalker.h"
#include "platform/JunkEntryFilter.h"

namespace harbormind {

// Fills a tree from the file system: every entry below the start becomes a node, folders first
// (in reverse listing order), then files and links (in listing order); links are never followed
// and count 0 bytes; a file counts its apparent size. Only directories are folders: sockets,
// pipes and device nodes are entries without children.
class FolderScanner {
public:
    FolderScanner(DirectoryWalker& walker, FolderTreeStorage& storage,
                  std::weak_ptr<DMFolderManagerDelegate> delegate);

    // Scans the folder at `top`'s path (followed when it is a link) into `top`. With a filter,
    // entries it does not offer are left out of the tree, and their folders are not entered.
    void scan(FolderTreeNode* top, const JunkEntryFilter* filter = nullptr);

    // A new tree whose top node is named `path` and scanned from it.
    static std::shared_ptr<FolderTreeNode> scanPath(DirectoryWalker& walker, const std::string& path,
                                                    std::weak_ptr<DMFolderManagerDelegate> delegate);

private:
    void scanFolder(FolderTreeNode* node, DirectoryWalker::Handle parent, std::size_t depth);
    void fillChildren(FolderTreeNode* node, const DirectoryListing& listing,
                      DMFolderManagerDelegate* delegate);
    bool offered(const ListedEntry& entry) const;

    DirectoryWalker& walker_;
    FolderTreeStorage& storage_;
    std::weak_ptr<DMFolderManagerDelegate> delegate_;
    const JunkEntryFilter* filter_ = nullptr;
    // One listing buffer per depth, reused from folder to folder.
    std::vector<std::unique_ptr<DirectoryListing>> listings_;
};

}  // namespace harbormind
