#include "cli/CliCleanSelection.h"

#include <istream>
#include <ostream>

#include "cleaning/FolderTreeNode.h"
#include "support/DMByteCountFormatter.h"
#include "cli/CliContext.h"

namespace harbormind {
namespace {

template <typename Visit>
void walk(const FolderTreeNode* node, Visit&& visit) {
    std::vector<const FolderTreeNode*> pending{node};
    while (!pending.empty()) {
        const FolderTreeNode* current = pending.back();
        pending.pop_back();
        if (visit(current)) {
            pending.insert(pending.end(), current->childs.begin(), current->childs.end());
        }
    }
}

std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::vector<const FolderTreeNode*> nodesBelow(const FolderTreeNode* top, int levels) {
    std::vector<const FolderTreeNode*> level{top};
    for (int i = 0; i < levels; ++i) {
        std::vector<const FolderTreeNode*> next;
        for (const FolderTreeNode* node : level) {
            next.insert(next.end(), node->childs.begin(), node->childs.end());
        }
        level = std::move(next);
    }
    // A junk place stays; only what is in it goes, so that is what is counted and listed.
    std::vector<const FolderTreeNode*> entries;
    for (const FolderTreeNode* node : level) {
        if (node->anchor == NodeAnchor::Place) {
            entries.insert(entries.end(), node->childs.begin(), node->childs.end());
        } else {
            entries.push_back(node);
        }
    }
    return entries;
}

}  // namespace

CliCleanSelection::CliCleanSelection(const FolderTreeNode* top, int levels) {
    if (top == nullptr) {
        return;
    }
    walk(top, [this](const FolderTreeNode* node) {
        if (node->selectStatus == FolderTreeNode::statusMarked) {
            marked_.insert(node);
        }
        return true;
    });
    for (const FolderTreeNode* child : nodesBelow(top, levels)) {
        SelectMessage part = SelectMessage::count(child);
        amount_.totalSize += part.totalSize;
        amount_.fileCount += part.fileCount;
        amount_.folderCount += part.folderCount;
    }
}

std::string CliCleanSelection::listing(const FolderTreeNode* top, int levels) {
    std::string text;
    for (const FolderTreeNode* start : nodesBelow(top, levels)) {
        walk(start, [&text](const FolderTreeNode* node) {
            if (node->selectStatus != FolderTreeNode::statusMarked) {
                return true;
            }
            text += "  " + DMByteCountFormatter::string(node->iTotalSize) + "\t" + node->fullpath() + "\n";
            return false;
        });
    }
    return text;
}

std::string CliCleanSelection::amountLine() const {
    // The exact count follows a rounded size only: "50 bytes" needs no "(50 bytes)".
    std::string size = DMByteCountFormatter::string(amount_.totalSize);
    if (amount_.totalSize >= 1000) {
        size += " (" + std::to_string(amount_.totalSize) + " bytes)";
    }
    return std::to_string(amount_.folderCount) + " folders, " + std::to_string(amount_.fileCount) + " files, " + size +
           " will be deleted.";
}

std::vector<std::string> CliCleanSelection::failures(const FolderTreeNode* top, const FolderTreeNode* except) const {
    std::vector<std::string> paths;
    walk(top, [&](const FolderTreeNode* node) {
        if (node->childs.empty() && node != except && marked_.count(node) != 0) {
            paths.push_back(node->fullpath());
        }
        return true;
    });
    return paths;
}

bool CliCleanSelection::confirm(CliContext& context, bool yes) {
    if (yes) {
        return true;
    }
    context.out << "Delete them permanently? [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(context.in, answer)) {
        return false;
    }
    answer = lower(answer);
    return answer == "y" || answer == "yes";
}

void CliCleanSelection::settleStatuses(FolderTreeNode* top) {
    // Children before parents: collect in walk order, settle in reverse.
    std::vector<FolderTreeNode*> order;
    std::vector<FolderTreeNode*> pending{top};
    while (!pending.empty()) {
        FolderTreeNode* node = pending.back();
        pending.pop_back();
        order.push_back(node);
        pending.insert(pending.end(), node->childs.begin(), node->childs.end());
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (!(*it)->childs.empty()) {
            (*it)->selectStatus = FolderTreeNode::getNodeSelectStatus(*it);
        }
    }
}

}  // namespace harbormind
