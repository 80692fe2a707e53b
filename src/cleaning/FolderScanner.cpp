#include "cleaning/FolderScanner.h"

#include <algorithm>
#include <vector>

#include "cleaning/ScanHelpers.h"

namespace harbormind {

namespace {

constexpr std::uint8_t directoryTypeCode = 4;

// A folder by its directory-entry type, or by its lookup when the file system left the type
// out. Only the directory code counts: the codes of sockets and block devices share its bit.
bool isFolderEntry(const ListedEntry& entry) {
    if (entry.typeCode != 0) {
        return entry.typeCode == directoryTypeCode;
    }
    return entry.looked && entry.stat.kind == EntryKind::Directory;
}

bool isLinkEntry(const ListedEntry& entry) {
    return entry.looked && entry.stat.kind == EntryKind::SymbolicLink;
}

}  // namespace

FolderScanner::FolderScanner(DirectoryWalker& walker, FolderTreeStorage& storage,
                             std::weak_ptr<DMFolderManagerDelegate> delegate)
    : walker_(walker), storage_(storage), delegate_(std::move(delegate)) {}

std::shared_ptr<FolderTreeNode> FolderScanner::scanPath(DirectoryWalker& walker, const std::string& path,
                                                        std::weak_ptr<DMFolderManagerDelegate> delegate) {
    auto storage = std::make_shared<FolderTreeStorage>(walker.treeBlocks());
    FolderTreeNode* top = storage->makeNode(path);
    top->setFullpath(top->getFolderFullPath());
    top->anchor = NodeAnchor::Top;
    FolderScanner scanner(walker, *storage, std::move(delegate));
    scanner.scan(top);
    return FolderTreeStorage::share(storage, top);
}

void FolderScanner::scan(FolderTreeNode* top, const JunkEntryFilter* filter) {
    filter_ = filter;
    stop_ = false;
    std::size_t firstNew = storage_.nodeCount();
    if (auto folder = openTop(top)) {
        Lister lister = makeLister();
        listFolder(top, folder, lister);
        pending_.push(lister.folders);
    }
    bool folderInside = !top->childs.empty() && top->childs.front()->isFolder && !top->childs.front()->isLink;
    if (folderInside) {
        ScanHelpers helpers;
        helpers.start(ScanHelpers::usefulCount(), [this] { work(); });
        work();
        helpers.finish();
    }
    sumTotals(top, firstNew);
    filter_ = nullptr;
}

std::shared_ptr<OpenFolder> FolderScanner::openTop(FolderTreeNode* top) {
    if (stopped()) {
        return nullptr;
    }
    // A scan's starting folder is opened by its path, like any folder the user names.
    DirectoryWalker::Handle handle = walker_.openFolder(top->fullpath());
    if (auto stat = walker_.statHandle(handle)) {
        top->kind = stat->kind;
        top->device = stat->device;
        top->inode = stat->inode;
    }
    if (handle == DirectoryWalker::invalidHandle) {
        return nullptr;  // a folder that cannot be opened has no children
    }
    return std::make_shared<OpenFolder>(walker_, handle);
}

FolderScanner::Lister FolderScanner::makeLister() const {
    Lister lister;
    // A filter judges every entry by its attributes; otherwise a folder is looked up through
    // its own handle once opened.
    lister.listing.lookUpFolders = filter_ != nullptr;
    return lister;
}

void FolderScanner::work() {
    Lister lister = makeLister();  // reused from folder to folder
    bool busy = false;
    while (auto item = pending_.next(lister.folders, busy)) {
        busy = true;
        FolderTreeNode* node = item->node;
        // A folder listed without a lookup is looked up here, whether it is then listed or not.
        bool lookUp = node->kind == EntryKind::Unknown;
        DirectoryWalker::Handle handle = DirectoryWalker::invalidHandle;
        if (!stopped()) {
            handle = walker_.openChildFolder(item->parent->handle(), node->strFolderName());
        }
        if (lookUp) {
            lookUpFolder(node, handle != DirectoryWalker::invalidHandle
                                   ? walker_.statHandle(handle)
                                   : walker_.statChild(item->parent->handle(), node->strFolderName()));
        }
        item->parent.reset();
        if (handle != DirectoryWalker::invalidHandle) {
            listFolder(node, std::make_shared<OpenFolder>(walker_, handle), lister);
        }
    }
}

void FolderScanner::lookUpFolder(FolderTreeNode* node, const std::optional<EntryStat>& stat) {
    if (!stat) {
        return;
    }
    node->isLink = stat->kind == EntryKind::SymbolicLink;
    node->kind = stat->kind;
    node->device = stat->device;
    node->inode = stat->inode;
}

void FolderScanner::listFolder(FolderTreeNode* node, const std::shared_ptr<OpenFolder>& folder, Lister& lister) {
    walker_.list(folder->handle(), lister.listing);
    fillChildren(node, lister.listing, lister.names);
    report(lister.listing);
    for (FolderTreeNode* child : node->childs) {
        if (!child->isFolder || child->isLink) {
            break;
        }
        lister.folders.push_back({child, folder});
    }
    // Handed over in reverse so the first child folder is taken first, as a single thread would.
    std::reverse(lister.folders.begin(), lister.folders.end());
}

bool FolderScanner::stopped() {
    if (stop_) {
        return true;
    }
    std::shared_ptr<DMFolderManagerDelegate> delegate = delegate_.lock();
    if (!delegate) {
        return false;
    }
    std::lock_guard lock(delegateMutex_);
    if (delegate->isStop()) {
        stop_ = true;
    }
    return stop_;
}

bool FolderScanner::offered(const ListedEntry& entry) const {
    // An entry that could not be looked up cannot be judged, so a filter leaves it out.
    return filter_ == nullptr || (entry.looked && filter_->offers(entry.stat));
}

void FolderScanner::fillChildren(FolderTreeNode* node, const DirectoryListing& listing,
                                 std::vector<std::string_view>& names) {
    // Folders go to the front in reverse listing order, everything else after them in
    // listing order.
    names.clear();
    std::size_t folders = 0;
    for (const ListedEntry& entry : listing.entries) {
        if (offered(entry) && isFolderEntry(entry) && !isLinkEntry(entry)) {
            names.push_back(listing.name(entry));
            ++folders;
        }
    }
    std::reverse(names.begin(), names.end());
    for (const ListedEntry& entry : listing.entries) {
        if (offered(entry) && !(isFolderEntry(entry) && !isLinkEntry(entry))) {
            names.push_back(listing.name(entry));
        }
    }
    storage_.makeChildren(node, names, folders);
    auto nextFolder = node->childs.begin() + static_cast<std::ptrdiff_t>(folders);
    auto nextOther = nextFolder;
    for (const ListedEntry& entry : listing.entries) {
        if (!offered(entry)) {
            continue;
        }
        bool folder = isFolderEntry(entry) && !isLinkEntry(entry);
        FolderTreeNode* child = folder ? *--nextFolder : *nextOther++;
        child->isFolder = isFolderEntry(entry);
        if (entry.looked) {
            child->iTotalSize = fileSize_ == FileSize::OnDisk ? entry.stat.allocated : entry.stat.size;
            child->isLink = entry.stat.kind == EntryKind::SymbolicLink;
            child->kind = entry.stat.kind;
            child->device = entry.stat.device;
            child->inode = entry.stat.inode;
        }
        if (child->isLink || child->isFolder) {
            child->iTotalSize = 0;
        }
    }
}

void FolderScanner::report(const DirectoryListing& listing) {
    std::shared_ptr<DMFolderManagerDelegate> delegate = delegate_.lock();
    if (!delegate) {
        return;
    }
    std::lock_guard lock(delegateMutex_);
    bool first = true;
    for (const ListedEntry& entry : listing.entries) {
        if (!offered(entry)) {
            continue;
        }
        if (!first) {
            delegate->searchFileName(listing.name(entry));
        }
        first = false;
    }
}

void FolderScanner::sumTotals(FolderTreeNode* top, std::size_t firstNew) {
    std::int64_t size = top->iTotalSize;
    std::int64_t files = top->iFileCount;
    std::int64_t folders = top->iFolderCount;
    // Every node made by this scan lies below the top and is made after its parent, so adding
    // each to its parent, newest first, sums every folder after all of its descendants, with
    // no list of folders to keep.
    storage_.visitNewestFirst(firstNew, [](FolderTreeNode& node) {
        FolderTreeNode* parent = node.parent;
        parent->iTotalSize += node.iTotalSize;
        parent->iFileCount += node.iFileCount + (node.isFolder ? 0 : 1);
        parent->iFolderCount += node.iFolderCount + (node.isFolder ? 1 : 0);
    });
    // Whatever the top gained, every node above it gains too.
    for (FolderTreeNode* node = top->parent; node != nullptr; node = node->parent) {
        node->iTotalSize += top->iTotalSize - size;
        node->iFileCount += top->iFileCount - files;
        node->iFolderCount += top->iFolderCount - folders;
    }
}

}  // namespace harbormind
