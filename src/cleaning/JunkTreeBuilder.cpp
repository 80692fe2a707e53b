#include "cleaning/JunkTreeBuilder.h"

#include "cleaning/FolderScanner.h"
#include "cleaning/FolderTreeStorage.h"

namespace harbormind {

namespace {
constexpr std::uint8_t directoryTypeCode = 4;
}

std::vector<JunkCategory> JunkTreeBuilder::composeTable(DirectoryWalker& walker, JunkLocations& locations,
                                                        const std::string& home) {
    std::vector<JunkCategory> table = locations.categories(home);
    std::string containers = locations.containersFolder(home);
    if (containers.empty()) {
        return table;
    }
    DirectoryWalker::Handle handle = walker.openFolder(containers);
    if (handle == DirectoryWalker::invalidHandle) {
        return table;
    }
    DirectoryListing listing;
    walker.list(handle, listing);
    walker.close(handle);
    for (const ListedEntry& entry : listing.entries) {
        bool directory = entry.typeCode == directoryTypeCode ||
                         (entry.typeCode == 0 && entry.looked && entry.stat.kind == EntryKind::Directory);
        if (!directory) {
            continue;
        }
        std::string container = containers + std::string(listing.name(entry));
        for (JunkCategory& category : table) {
            if (category.containerSuffix.empty()) {
                continue;
            }
            std::string place = container + category.containerSuffix;
            auto stat = walker.statPath(place);
            if (stat && stat->kind == EntryKind::SymbolicLink) {
                continue;
            }
            category.paths.push_back(std::move(place));
        }
    }
    return table;
}

std::shared_ptr<FolderTreeNode> JunkTreeBuilder::build(DirectoryWalker& walker, const std::vector<JunkCategory>& table,
                                                       std::int64_t filterSize,
                                                       std::weak_ptr<DMFolderManagerDelegate> delegate) {
    auto storage = std::make_shared<FolderTreeStorage>(walker.treeBlocks());
    FolderTreeNode* top = storage->makeNode({});
    FolderScanner scanner(walker, *storage, std::move(delegate));
    // Cleaning junk is about the space it frees: what the files take on disk.
    scanner.setFileSize(FolderScanner::FileSize::OnDisk);
    for (const JunkCategory& entry : table) {
        if (entry.paths.empty()) {
            continue;
        }
        FolderTreeNode* category = storage->makeNode(entry.key);
        category->isFolder = true;
        for (const std::string& path : entry.paths) {
            FolderTreeNode* place = storage->makeNode(path);
            place->anchor = NodeAnchor::Place;
            scanner.scan(place, entry.entryFilter.get());
            if (entry.showsEntriesOfPlaces) {
                for (FolderTreeNode* child : place->childs) {
                    // The entry keeps its own path: its parent in the tree is now the category.
                    child->setFullpath(child->fullpath());
                    child->anchor = NodeAnchor::Moved;
                    child->parent = category;
                    if (child->iTotalSize != 0) {
                        category->childs.push_back(child);
                    }
                }
            } else if (place->iTotalSize != 0) {
                place->setFullpath(path);
                place->parent = category;
                category->childs.push_back(place);
            }
            category->iTotalSize += place->iTotalSize;
            category->iFileCount += place->iFileCount;
            category->iFolderCount += place->iFolderCount;
            category->isFolder = true;
        }
        if (category->iTotalSize > filterSize) {
            category->parent = top;
            top->childs.push_back(category);
            // The top's totals are those of everything below it, categories included, so a
            // marked top counts what is marked and deleting keeps its totals right.
            top->iTotalSize += category->iTotalSize;
            top->iFileCount += category->iFileCount;
            top->iFolderCount += category->iFolderCount + 1;
        }
    }
    return FolderTreeStorage::share(storage, top);
}

}  // namespace harbormind
