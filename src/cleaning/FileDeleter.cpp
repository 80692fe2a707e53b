#include "cleaning/FileDeleter.h"

#include <cerrno>
#include <cstring>

#include "cleaning/CleaningTexts.h"

namespace harbormind {

namespace {

bool sameObject(const EntryStat& stat, const FolderTreeNode& node) {
    return node.kind != EntryKind::Unknown && stat.kind == node.kind && stat.device == node.device &&
           stat.inode == node.inode;
}

// Splits a path into its folder and last part; false when there is no last part.
bool splitPath(const std::string& path, std::string& folder, std::string& name) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    auto slash = trimmed.rfind('/');
    if (slash == std::string::npos) {
        folder.assign(1, '.');
        name = trimmed;
    } else {
        folder = trimmed.substr(0, slash == 0 ? 1 : slash);
        name = trimmed.substr(slash + 1);
    }
    return !name.empty() && name != "." && name != "..";
}

}  // namespace

FileDeleter::FileDeleter(DirectoryWalker& walker, DMDeleteFaileRecord& record)
    : walker_(walker), record_(record) {}

void FileDeleter::deleteNode(FolderTreeNode* node) {
    if (node == nullptr) {
        return;
    }
    // A node reached without its parent's folder open is found through its nearest stored path.
    deleteIn(node, nullptr);
}

void FileDeleter::driveClearPass(FolderTreeNode* top) {
    if (top == nullptr || top->selectStatus == FolderTreeNode::statusKept) {
        return;
    }
    bool mixed = top->selectStatus == FolderTreeNode::statusMixed;
    deleteNode(top);
    if (mixed) {
        top->selectStatus = FolderTreeNode::statusKept;
        top->updateChildStatus();
    }
}

void FileDeleter::junkPass(FolderTreeNode* root) {
    if (root == nullptr) {
        return;
    }
    const std::vector<FolderTreeNode*> categories(root->childs.begin(), root->childs.end());
    for (auto it = categories.rbegin(); it != categories.rend(); ++it) {
        FolderTreeNode* category = *it;
        if (category->selectStatus == FolderTreeNode::statusMarked) {
            const std::vector<FolderTreeNode*> entries(category->childs.begin(), category->childs.end());
            for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
                deleteNode(*entry);
            }
            if (record_.iFileCount == 0 && record_.iFolderCount == 0) {
                root->removeChild(category);
            }
        }
        if (category->selectStatus == FolderTreeNode::statusMixed) {
            const std::vector<FolderTreeNode*> entries(category->childs.begin(), category->childs.end());
            for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
                if ((*entry)->selectStatus != FolderTreeNode::statusKept) {
                    deleteNode(*entry);
                }
            }
            category->selectStatus = FolderTreeNode::statusKept;
        }
    }
}

void FileDeleter::deleteIn(FolderTreeNode* node, const OpenFolder* container) {
    if (node->isFolder && (node->iFileCount >= 1 || node->iFolderCount >= 1)) {
        OpenFolder self;
        if (int outcome = openSelf(node, container, self); outcome != removed) {
            // Not the folder that was scanned (replaced, now a link, another mount, gone):
            // nothing below it is touched.
            walker_.close(self.handle);
            handleOutcome(node, outcome);
            return;
        }
        // Children from last to first. Only the visited child can leave the array, so walking
        // the live array downwards visits exactly a snapshot taken before the visit.
        for (std::size_t i = node->childs.size(); i-- > 0;) {
            if (i >= node->childs.size()) {
                continue;
            }
            FolderTreeNode* child = node->childs[i];
            if (child->selectStatus == FolderTreeNode::statusKept) {
                continue;
            }
            if (!child->isFolder) {
                if (child->selectStatus == FolderTreeNode::statusMarked) {
                    handleOutcome(child, removeEntry(child, &self));
                }
                continue;
            }
            deleteIn(child, &self);
        }
        walker_.close(self.handle);
    } else if (!node->isFolder && node->selectStatus == FolderTreeNode::statusMarked) {
        handleOutcome(node, removeEntry(node, container));
    }
    if (node->isFolder && node->iFileCount == 0 && node->iFolderCount == 0) {
        if (node->anchor == NodeAnchor::Place) {
            keepPlace(node);
        } else {
            handleOutcome(node, removeEntry(node, container));
        }
    }
}

int FileDeleter::openSelf(FolderTreeNode* node, const OpenFolder* container, OpenFolder& self) {
    bool byPath = node->anchor != NodeAnchor::None || container == nullptr;
    if (byPath) {
        self.handle = walker_.openFolder(node->fullpath());
    } else {
        self.handle = walker_.openChildFolder(container->handle, node->strFolderName());
    }
    std::optional<EntryStat> stat = walker_.statHandle(self.handle);
    if (!stat) {
        return cannotOpen;
    }
    if (stat->kind != EntryKind::Directory || !sameObject(*stat, *node)) {
        return changedSinceScan;
    }
    self.device = stat->device;
    self.mountId = stat->mountId;
    if (!byPath) {
        // Another mount inside the tree (possibly another drive) is never entered.
        bool another = stat->device != container->device ||
                       (stat->mountId != 0 && container->mountId != 0 && stat->mountId != container->mountId);
        return another ? otherMount : removed;
    }
    return removed;
}

int FileDeleter::removeEntry(FolderTreeNode* node, const OpenFolder* container) {
    if (node->anchor == NodeAnchor::None && container != nullptr) {
        std::optional<EntryStat> stat = walker_.statChild(container->handle, node->strFolderName());
        if (!stat || !sameObject(*stat, *node)) {
            return changedSinceScan;
        }
        return walker_.removeChild(container->handle, node->strFolderName(), stat->kind);
    }
    std::string folder;
    std::string name;
    if (!splitPath(node->fullpath(), folder, name)) {
        return changedSinceScan;
    }
    DirectoryWalker::Handle handle = walker_.openFolder(folder);
    std::optional<EntryStat> stat = walker_.statChild(handle, name);
    int outcome = !stat || !sameObject(*stat, *node) ? changedSinceScan : walker_.removeChild(handle, name, stat->kind);
    walker_.close(handle);
    return outcome;
}

std::string FileDeleter::reasonFor(int outcome) {
    switch (outcome) {
    case changedSinceScan: return CleaningTexts::reasonChanged;
    case otherMount: return CleaningTexts::reasonOtherMount;
    case cannotOpen: return CleaningTexts::reasonCannotOpen;
    case EACCES:
    case EPERM: return CleaningTexts::reasonPermission;
    case EBUSY: return CleaningTexts::reasonBusy;
    case ENOTEMPTY:
    case EEXIST: return CleaningTexts::reasonNotEmpty;
    case EROFS: return CleaningTexts::reasonReadOnly;
    case ENOENT: return CleaningTexts::reasonGone;
    default: return std::strerror(outcome);
    }
}

void FileDeleter::handleOutcome(FolderTreeNode* node, int outcome) {
    if (outcome == removed) {
        ++(node->isFolder ? record_.deletedFolders : record_.deletedFiles);
        record_.deletedBytes += node->iTotalSize;
        FolderTreeNode* parent = node->parent;
        if (parent != nullptr) {
            node->updateParent(node->isFolder, node->iTotalSize, TotalsChange::Remove);
        }
        node->selectStatus = FolderTreeNode::statusKept;
        node->updateParentStatus(FolderTreeNode::statusKept);
        if (parent != nullptr) {
            parent->removeChild(node);
        }
        return;
    }
    if (node->isFolder) {
        ++record_.iFolderCount;
    } else {
        ++record_.iFileCount;
    }
    record_.addFailure({node->fullpath(), reasonFor(outcome), node->isFolder, node->parent == nullptr});
    node->selectStatus = FolderTreeNode::statusKept;
    node->updateChildStatus();
    node->updateParentStatus(FolderTreeNode::statusKept);
}

void FileDeleter::keepPlace(FolderTreeNode* node) {
    // A junk place itself (a cache or temporary folder) is emptied, never removed.
    node->selectStatus = FolderTreeNode::statusKept;
    node->updateParentStatus(FolderTreeNode::statusKept);
}

}  // namespace harbormind
