#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/DMFolderManagerDelegate.h"
#include "cleaning/FolderTreeNode.h"
#include "cleaning/FolderTreeStorage.h"
#include "cleaning/FolderWorkStack.h"
#include "platform/DirectoryWalker.h"
#include "platform/JunkEntryFilter.h"

namespace harbormind {

// Fills a tree from the file system: every entry below the start becomes a node, folders first
// (in reverse listing order), then files and links (in listing order); links are never followed
// and count 0 bytes; a file counts its apparent size, or what it takes on disk when the scan
// measures that (junk, where the point is the space freed). Only directories are folders: sockets,
// pipes and device nodes are entries without children.
//
// Folders are listed by several threads at once, each folder opened relative to its parent's
// handle; every folder's children are placed from its own listing, so the tree is the same
// whichever thread lists which folder. The totals are summed once the walk is over.
class FolderScanner {
public:
    // What a file's size is: its length, or its allocated blocks (a sparse file takes less,
    // a folder of many small files takes more).
    enum class FileSize { Apparent, OnDisk };

    FolderScanner(DirectoryWalker& walker, FolderTreeStorage& storage,
                  std::weak_ptr<DMFolderManagerDelegate> delegate);

    // Scans the folder at `top`'s path (followed when it is a link) into `top`. With a filter,
    // entries it does not offer are left out of the tree, and their folders are not entered.
    void scan(FolderTreeNode* top, const JunkEntryFilter* filter = nullptr);
    void setFileSize(FileSize measure) { fileSize_ = measure; }

    // A new tree whose top node is named `path` and scanned from it.
    static std::shared_ptr<FolderTreeNode> scanPath(DirectoryWalker& walker, const std::string& path,
                                                    std::weak_ptr<DMFolderManagerDelegate> delegate);

private:
    // What one thread reuses from folder to folder.
    struct Lister {
        DirectoryListing listing;
        std::vector<std::string_view> names;
        std::vector<FolderWorkStack::Item> folders;
    };

    std::shared_ptr<OpenFolder> openTop(FolderTreeNode* top);
    Lister makeLister() const;
    void work();
    static void lookUpFolder(FolderTreeNode* node, const std::optional<EntryStat>& stat);
    void listFolder(FolderTreeNode* node, const std::shared_ptr<OpenFolder>& folder, Lister& lister);
    void fillChildren(FolderTreeNode* node, const DirectoryListing& listing, std::vector<std::string_view>& names);
    void report(const DirectoryListing& listing);
    bool stopped();
    bool offered(const ListedEntry& entry) const;
    void sumTotals(FolderTreeNode* top, std::size_t firstNew);

    DirectoryWalker& walker_;
    FolderTreeStorage& storage_;
    std::weak_ptr<DMFolderManagerDelegate> delegate_;
    const JunkEntryFilter* filter_ = nullptr;
    FileSize fileSize_ = FileSize::Apparent;
    FolderWorkStack pending_;
    std::mutex delegateMutex_;  // the delegate hears from one thread at a time
    std::atomic<bool> stop_{false};
};

}  // namespace harbormind
