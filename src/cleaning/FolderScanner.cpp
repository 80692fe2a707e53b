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

}  // namespace

FolderScanner::FolderScanner(DirectoryWalker& walker, FolderTreeStorage& storage,
                             std::weak_ptr<DMFolderManagerDelegate> delegate)
    : walker_(walker), storage_(storage), delegate_(std::move(delegate)) {}

std::shared_ptr<FolderTreeNode> FolderScanner::scanPath(DirectoryWalker& walker, const std::string& path,
                                                        std::weak_ptr<DMFolderManagerDelegate> delegate) {
    auto storage = std::make_shared<FolderTreeStorage>();
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
    if (auto folder = openTop(top)) {
        DirectoryListing listing;
        listFolder(top, folder, listing);
    }
    bool folderInside = !top->childs.empty() && top->childs.front()->isFolder && !top->childs.front()->isLink;
    if (folderInside) {
        ScanHelpers helpers;
        helpers.start(ScanHelpers::usefulCount(), [this] { work(); });
        work();
        helpers.finish();
    }
    sumTotals(top);
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

void FolderScanner::work() {
    DirectoryListing listing;  // reused from folder to folder
    while (auto item = pending_.take()) {
        if (!stopped()) {
            DirectoryWalker::Handle handle =
                walker_.openChildFolder(item->parent->handle(), item->node->strFolderName());
            item->parent.reset();
            if (handle != DirectoryWalker::invalidHandle) {
                listFolder(item->node, std::make_shared<OpenFolder>(walker_, handle), listing);
            }
        }
        item.reset();
        pending_.done();
    }
}

void FolderScanner::listFolder(FolderTreeNode* node, const std::shared_ptr<OpenFolder>& folder,
                               DirectoryListing& listing) {
    walker_.list(folder->handle(), listing);
    fillChildren(node, listing);
    report(listing);
    std::vector<FolderWorkStack::Item> folders;
    for (FolderTreeNode* child : node->childs) {
        if (!child->isFolder || child->isLink) {
            break;
        }
        folders.push_back({child, folder});
    }
    // Pushed in reverse so the first child folder is taken first, as a single thread would.
    std::reverse(folders.begin(), folders.end());
    pending_.push(folders);
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

void FolderScanner::fillChildren(FolderTreeNode* node, const DirectoryListing& listing) {
    std::size_t count = 0;
    std::size_t folders = 0;
    for (const ListedEntry& entry : listing.entries) {
        if (!offered(entry)) {
            continue;
        }
        ++count;
        bool link = entry.looked && entry.stat.kind == EntryKind::SymbolicLink;
        if (isFolderEntry(entry) && !link) {
            ++folders;
        }
    }
    // Folders go to the front in reverse listing order, everything else after them in
    // listing order; placing by index avoids shifting the array for every folder.
    std::lock_guard lock(storageMutex_);
    node->childs.adopt(storage_.makeChildPlaces(count), count);
    std::size_t nextFolder = folders;
    std::size_t nextOther = folders;
    for (const ListedEntry& entry : listing.entries) {
        if (!offered(entry)) {
            continue;
        }
        FolderTreeNode* child = storage_.makeNode(listing.name(entry));
        child->isFolder = isFolderEntry(entry);
        if (entry.looked) {
            child->iTotalSize = entry.stat.size;
            child->isLink = entry.stat.kind == EntryKind::SymbolicLink;
            child->kind = entry.stat.kind;
            child->device = entry.stat.device;
            child->inode = entry.stat.inode;
        }
        if (child->isLink || child->isFolder) {
            child->iTotalSize = 0;
        }
        if (child->isFolder && !child->isLink) {
            node->childs[--nextFolder] = child;
        } else {
            node->childs[nextOther++] = child;
        }
        child->parent = node;
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

void FolderScanner::sumTotals(FolderTreeNode* top) {
    // Children before parents, without recursion: a deep tree cannot exhaust the stack.
    std::vector<FolderTreeNode*> order{top};
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (FolderTreeNode* child : order[i]->childs) {
            if (!child->childs.empty()) {
                order.push_back(child);
            }
        }
    }
    std::int64_t size = top->iTotalSize;
    std::int64_t files = top->iFileCount;
    std::int64_t folders = top->iFolderCount;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        FolderTreeNode* node = *it;
        for (const FolderTreeNode* child : node->childs) {
            node->iTotalSize += child->iTotalSize;
            node->iFileCount += child->iFileCount + (child->isFolder ? 0 : 1);
            node->iFolderCount += child->iFolderCount + (child->isFolder ? 1 : 0);
        }
    }
    // Whatever the top gained, every node above it gains too.
    for (FolderTreeNode* node = top->parent; node != nullptr; node = node->parent) {
        node->iTotalSize += top->iTotalSize - size;
        node->iFileCount += top->iFileCount - files;
        node->iFolderCount += top->iFolderCount - folders;
    }
}

}  // namespace harbormind
