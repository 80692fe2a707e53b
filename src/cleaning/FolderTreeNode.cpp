#include "cleaning/FolderTreeNode.h"

#include <algorithm>

namespace harbormind {

namespace {
const std::string emptyText;
}

FolderTreeNode::Extras& FolderTreeNode::extras() {
    if (!extras_) {
        extras_ = std::make_unique<Extras>();
    }
    return *extras_;
}

std::string FolderTreeNode::fullpath() const {
    if (extras_ && extras_->hasFullpath) {
        return extras_->fullpath;
    }
    if (parent == nullptr) {
        return std::string(name_);
    }
    // Built from the nearest ancestor that knows its own path.
    std::vector<const FolderTreeNode*> chain;
    const FolderTreeNode* node = this;
    while (node != nullptr && !node->hasStoredFullpath()) {
        chain.push_back(node);
        node = node->parent;
    }
    std::string path = node != nullptr ? node->extras_->fullpath : std::string();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (node != nullptr || it != chain.rbegin()) {
            path += '/';
        }
        path += (*it)->name_;
    }
    return path;
}

void FolderTreeNode::setFullpath(std::string path) {
    Extras& stored = extras();
    stored.fullpath = std::move(path);
    stored.hasFullpath = true;
}

bool FolderTreeNode::hasStoredFullpath() const {
    return extras_ && extras_->hasFullpath;
}

const std::string& FolderTreeNode::ModificationDate() const {
    return extras_ ? extras_->modificationDate : emptyText;
}

void FolderTreeNode::setModificationDate(std::string date) {
    extras().modificationDate = std::move(date);
}

std::string FolderTreeNode::getFolderFullPath() const {
    std::size_t length = 0;
    for (const FolderTreeNode* node = this; node != nullptr; node = node->parent) {
        length += node->name_.size() + 1;
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
        path += (*it)->name_;
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
    const auto& children = node->childs;
    if (children.empty()) {
        return node->selectStatus;
    }
    // Compared from the end: deletion changes the last children first, so a difference is
    // usually found at once.
    for (std::size_t i = children.size() - 1; i > 0; --i) {
        if (children[i]->selectStatus != children[i - 1]->selectStatus) {
            return statusMixed;
        }
    }
    return children.front()->selectStatus;
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
    auto it = std::find(childs.rbegin(), childs.rend(), child);
    if (it != childs.rend()) {
        childs.erase(std::next(it).base());
    }
}

}  // namespace harbormind
