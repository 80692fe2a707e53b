#include "cleaning/FolderScanner.h"

namespace harbormind {

namespace {

constexpr std::uint8_t folderTypeBit = 4;

// The directory-entry type code a kind has; used when the file system left the code out.
std::uint8_t typeCodeOfKind(EntryKind kind) {
    switch (kind) {
    case EntryKind::Pipe: return 1;
    case EntryKind::CharacterDevice: return 2;
    case EntryKind::Directory: return 4;
    case EntryKind::BlockDevice: return 6;
    case EntryKind::Regular: return 8;
    case EntryKind::SymbolicLink: return 10;
    case EntryKind::Socket: return 12;
    case EntryKind::Unknown: return 0;
    }
    return 0;
}

}  // namespace

FolderScanner::FolderScanner(DirectoryWalker& walker, FolderTreeStorage& storage,
                             std::weak_ptr<DMFolderManagerDelegate> delegate)
    : walker_(walker), storage_(storage), delegate_(std::move(delegate)) {}

void FolderScanner::scan(FolderTreeNode* top) {
    scanFolder(top, DirectoryWalker::invalidHandle, 0);
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
    const std::size_t count = listing.entries.size();
    std::size_t folders = 0;
    for (const ListedEntry& entry : listing.entries) {
        std::uint8_t code = entry.typeCode != 0 ? entry.typeCode : typeCodeOfKind(entry.stat.kind);
        bool link = entry.looked && entry.stat.kind == EntryKind::SymbolicLink;
        if ((code & folderTypeBit) != 0 && !link) {
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
        std::string_view name = listing.name(entry);
        FolderTreeNode* child = storage_.makeNode(name);
        std::uint8_t code = entry.typeCode != 0 ? entry.typeCode : typeCodeOfKind(entry.stat.kind);
        child->isFolder = (code & folderTypeBit) != 0;
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
