#include "cleaning/FolderScanner.h"

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

void FolderScanner::scan(FolderTreeNode* top, const JunkEntryFilter* filter) {
    filter_ = filter;
    scanFolder(top, DirectoryWalker::invalidHandle, 0);
    filter_ = nullptr;
}

bool FolderScanner::offered(const ListedEntry& entry) const {
    // An entry that could not be looked up cannot be judged, so a filter leaves it out.
    return filter_ == nullptr || (entry.looked && filter_->offers(entry.stat));
}

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

void FolderScanner::scanFolder(FolderTreeNode* node, DirectoryWalker::Handle parent, std::size_t depth) {
    std::shared_ptr<DMFolderManagerDelegate> delegate = delegate_.lock();
    if (delegate && delegate->isStop()) {
        return;
    }
    DirectoryWalker::Handle handle = DirectoryWalker::invalidHandle;
    if (parent == DirectoryWalker::invalidHandle) {
        // A scan's starting folder is opened by its path, like any folder the user names.
        handle = walker_.openFolder(node->fullpath());
        if (auto stat = walker_.statHandle(handle)) {
            node->kind = stat->kind;
            node->device = stat->device;
            node->inode = stat->inode;
        }
    } else {
        handle = walker_.openChildFolder(parent, node->strFolderName());
    }
    if (handle == DirectoryWalker::invalidHandle) {
        return;  // a folder that cannot be opened has no children
    }
    if (listings_.size() <= depth) {
        listings_.push_back(std::make_unique<DirectoryListing>());
    }
    DirectoryListing& listing = *listings_[depth];
    walker_.list(handle, listing);
    fillChildren(node, listing, delegate.get());
    delegate.reset();
    for (FolderTreeNode* child : node->childs) {
        if (!child->isFolder || child->isLink) {
            break;
        }
        scanFolder(child, handle, depth + 1);
    }
    walker_.close(handle);
}

void FolderScanner::fillChildren(FolderTreeNode* node, const DirectoryListing& listing,
                                 DMFolderManagerDelegate* delegate) {
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
    node->childs.assign(count, nullptr);
    std::size_t nextFolder = folders;
    std::size_t nextOther = folders;
    bool first = true;
    for (const ListedEntry& entry : listing.entries) {
        if (!offered(entry)) {
            continue;
        }
        std::string_view name = listing.name(entry);
        FolderTreeNode* child = storage_.makeNode(name);
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
        child->updateParent(child->isFolder, child->iTotalSize, TotalsChange::Add);
        if (!first && delegate != nullptr) {
            delegate->searchFileName(child->strFolderName());
        }
        first = false;
    }
}

}  // namespace harbormind
