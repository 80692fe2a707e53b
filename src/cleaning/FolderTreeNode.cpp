#include "cleaning/FolderTreeNode.h"

#include <mutex>
#include <unordered_map>

#include "cleaning/FolderTreeStorage.h"
#include "cleaning/NodeRecord.h"

namespace harbormind {

// The kind and anchor fields are a few bits wide; a new value must still fit them.
static_assert(static_cast<int>(EntryKind::Socket) < 8, "every entry kind fits the node's 3 bits");
static_assert(static_cast<int>(NodeAnchor::Moved) < 4, "every anchor fits the node's 2 bits");

namespace {

const std::string emptyText;

struct Extras {
    std::string fullpath;
    bool hasFullpath = false;
    std::string modificationDate;
    std::optional<std::uint64_t> device;
};

// The stored paths and dates of the few nodes that have one (tops, places, moved entries, rows a
// view has shown), and the devices of the few entries whose device is not their folder's, kept
// beside the nodes so every other node is spared the room.
struct ExtrasTable {
    std::mutex mutex;
    std::unordered_map<const FolderTreeNode*, Extras> byNode;
};

ExtrasTable& extrasTable() {
    static auto* table = new ExtrasTable;  // outlives every storage, whatever order they go in
    return *table;
}

}  // namespace

FolderTreeNode::~FolderTreeNode() {
    if (hasExtras_) {
        ExtrasTable& table = extrasTable();
        std::lock_guard lock(table.mutex);
        table.byNode.erase(this);
    }
}

std::string_view FolderTreeNode::strFolderName() const {
    if (nameOffset_ == 0) {
        return {};
    }
    return FolderTreeStorage::nameAt(this, hasRecord_ ? nameOffset_ + sizeof(NodeRecord) : nameOffset_);
}

std::optional<std::uint64_t> FolderTreeNode::ownDevice() const {
    if (!hasExtras_) {
        return std::nullopt;
    }
    ExtrasTable& table = extrasTable();
    std::lock_guard lock(table.mutex);
    auto found = table.byNode.find(this);
    return found != table.byNode.end() ? found->second.device : std::nullopt;
}

void FolderTreeNode::setOwnDevice(std::uint64_t ownDevice) {
    ExtrasTable& table = extrasTable();
    std::lock_guard lock(table.mutex);
    table.byNode[this].device = ownDevice;
    hasExtras_ = true;
}

std::string FolderTreeNode::fullpath() const {
    if (hasExtras_) {
        ExtrasTable& table = extrasTable();
        std::lock_guard lock(table.mutex);
        const Extras& stored = table.byNode[this];
        if (stored.hasFullpath) {
            return stored.fullpath;
        }
    }
    if (parent == nullptr) {
        return std::string(strFolderName());
    }
    // Built from the nearest ancestor that knows its own path.
    std::vector<const FolderTreeNode*> chain;
    const FolderTreeNode* node = this;
    while (node != nullptr && !node->hasStoredFullpath()) {
        chain.push_back(node);
        node = node->parent;
    }
    std::string path = node != nullptr ? node->fullpath() : std::string();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (node != nullptr || it != chain.rbegin()) {
            path += '/';
        }
        path += (*it)->strFolderName();
    }
    return path;
}

void FolderTreeNode::setFullpath(std::string path) {
    ExtrasTable& table = extrasTable();
    std::lock_guard lock(table.mutex);
    Extras& stored = table.byNode[this];
    stored.fullpath = std::move(path);
    stored.hasFullpath = true;
    hasExtras_ = true;
}

bool FolderTreeNode::hasStoredFullpath() const {
    if (!hasExtras_) {
        return false;
    }
    ExtrasTable& table = extrasTable();
    std::lock_guard lock(table.mutex);
    return table.byNode[this].hasFullpath;
}

const std::string& FolderTreeNode::ModificationDate() const {
    if (!hasExtras_) {
        return emptyText;
    }
    ExtrasTable& table = extrasTable();
    std::lock_guard lock(table.mutex);
    // The entry stays where it is until the node goes, so the reference outlives the lock.
    return table.byNode[this].modificationDate;
}

void FolderTreeNode::setModificationDate(std::string date) {
    ExtrasTable& table = extrasTable();
    std::lock_guard lock(table.mutex);
    table.byNode[this].modificationDate = std::move(date);
    hasExtras_ = true;
}

std::string FolderTreeNode::getFolderFullPath() const {
    std::size_t length = 0;
    for (const FolderTreeNode* node = this; node != nullptr; node = node->parent) {
        length += node->strFolderName().size() + 1;
    }
    std::string path;
    path.reserve(length);
    std::vector<const FolderTreeNode*> chain;
    for (const FolderTreeNode* node = this; node != nullptr; node = node->parent) {
        chain.push_back(node);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) {
            path += '/';
        }
        path += (*it)->strFolderName();
    }
    return path;
}

void FolderTreeNode::updateParent(bool folder, std::int64_t size, TotalsChange change) {
    const std::int64_t sign = change == TotalsChange::Add ? 1 : -1;
    for (FolderTreeNode* node = parent; node != nullptr; node = node->parent) {
        if (folder) {
            node->iFolderCount += sign;
        } else {
            node->iFileCount += sign;
        }
        node->iTotalSize += sign * size;
    }
}

void FolderTreeNode::updateChildStatus(FolderTreeNode* node, int status) {
    if (node == nullptr) {
        return;
    }
    // Iterative, so a very deep tree cannot exhaust the stack.
    std::vector<FolderTreeNode*> pending{node};
    while (!pending.empty()) {
        FolderTreeNode* current = pending.back();
        pending.pop_back();
        current->selectStatus = status;
        pending.insert(pending.end(), current->childs.begin(), current->childs.end());
    }
}

void FolderTreeNode::updateChildStatus() {
    updateChildStatus(this, selectStatus);
}

int FolderTreeNode::getNodeSelectStatus(const FolderTreeNode* node) {
    const NodeList& children = node->childs;
    if (children.empty()) {
        return node->selectStatus;
    }
    // Compared from the end: deletion changes the last children first, so a difference is
    // usually found at once.
    auto first = children.begin();
    for (auto it = children.end() - 1; it != first; --it) {
        if ((*it)->selectStatus != (*(it - 1))->selectStatus) {
            return statusMixed;
        }
    }
    return (*first)->selectStatus;
}

void FolderTreeNode::updateParentStatus(FolderTreeNode* node, int /*status*/) {
    for (; node != nullptr; node = node->parent) {
        node->selectStatus = getNodeSelectStatus(node);
    }
}

void FolderTreeNode::updateParentStatus(int status) {
    updateParentStatus(parent, status);
}

void FolderTreeNode::removeChild(const FolderTreeNode* child) {
    for (auto it = childs.end(); it != childs.begin();) {
        --it;
        if (*it == child) {
            childs.erase(it);
            return;
        }
    }
}

}  // namespace harbormind
