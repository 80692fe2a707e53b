#include "cleaning/CleaningReport.h"

#include <nlohmann/json.hpp>

#include "cleaning/SortType.h"
#include "support/DMByteCountFormatter.h"
#include "support/PrintableText.h"

namespace harbormind {

namespace {

using json = nlohmann::ordered_json;

std::string dump(const json& value) {
    return value.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

json nodeJson(const FolderTreeNode& node, std::optional<std::size_t> depth) {
    json value = {
        {"name", std::string(node.strFolderName())},
        {"path", node.fullpath()},
        {"size", node.iTotalSize},
        {"folder", node.isFolder},
    };
    if (node.isLink) {
        value["link"] = true;
    }
    if (node.isFolder) {
        value["files"] = node.iFileCount.get();
        value["folders"] = node.iFolderCount.get();
        if (!depth || *depth > 0) {
            json children = json::array();
            std::optional<std::size_t> below = depth ? std::optional<std::size_t>(*depth - 1) : std::nullopt;
            for (const FolderTreeNode* child : node.childs) {
                children.push_back(nodeJson(*child, below));
            }
            value["children"] = std::move(children);
        }
    }
    return value;
}

const JunkCategory* categoryOf(const FolderTreeNode& node, const std::vector<JunkCategory>& table) {
    for (const JunkCategory& category : table) {
        if (category.key == node.strFolderName()) {
            return &category;
        }
    }
    return nullptr;
}

}  // namespace

std::string CleaningReport::usageText(const FolderTreeNode& top, std::size_t largest) {
    std::string text = PrintableText::escaped(top.fullpath()) + "\n";
    text += "size: " + DMByteCountFormatter::string(top.iTotalSize) + "\n";
    text += "files: " + std::to_string(top.iFileCount) + "\n";
    text += "folders: " + std::to_string(top.iFolderCount) + "\n";
    std::vector<FolderTreeNode*> entries = sortedChilds(top, SortType::sizeOrder);
    if (entries.size() > largest) {
        entries.resize(largest);
    }
    if (!entries.empty()) {
        text += "largest entries:\n";
    }
    for (const FolderTreeNode* entry : entries) {
        std::string size = DMByteCountFormatter::string(entry->iTotalSize);
        text += "  " + std::string(size.size() < 10 ? 10 - size.size() : 0, ' ') + size + "  " +
                PrintableText::escaped(std::string(entry->strFolderName())) +
                (entry->isFolder && !entry->isLink ? "/" : "") + "\n";
    }
    return text;
}

std::string CleaningReport::usageJson(const FolderTreeNode& top, std::optional<std::size_t> depth) {
    return dump(nodeJson(top, depth));
}

std::string CleaningReport::junkText(const FolderTreeNode& root, const std::vector<JunkCategory>& table) {
    std::string text;
    std::int64_t total = 0;
    for (const FolderTreeNode* node : root.childs) {
        const JunkCategory* category = categoryOf(*node, table);
        std::string name = category != nullptr ? category->displayName : std::string(node->strFolderName());
        text += PrintableText::escaped(name) + " (" + PrintableText::escaped(std::string(node->strFolderName())) +
                "): " + DMByteCountFormatter::string(node->iTotalSize) + ", " + std::to_string(node->iFileCount) +
                " files, " + std::to_string(node->iFolderCount) + " folders\n";
        for (const FolderTreeNode* entry : sortedChilds(*node, SortType::sizeOrder)) {
            text += "  " + DMByteCountFormatter::string(entry->iTotalSize) + "  " +
                    PrintableText::escaped(entry->fullpath()) + "\n";
        }
        if (category != nullptr) {
            text += "  " + category->explanation + "\n";
        }
        total += node->iTotalSize;
    }
    if (root.childs.empty()) {
        text += "No junk found.\n";
    } else {
        text += "total: " + DMByteCountFormatter::string(total) + "\n";
    }
    return text;
}

std::string CleaningReport::junkJson(const FolderTreeNode& root, const std::vector<JunkCategory>& table) {
    json categories = json::array();
    for (const FolderTreeNode* node : root.childs) {
        const JunkCategory* category = categoryOf(*node, table);
        json entries = json::array();
        for (const FolderTreeNode* entry : node->childs) {
            entries.push_back({{"path", entry->fullpath()},
                               {"size", entry->iTotalSize},
                               {"folder", entry->isFolder},
                               {"files", entry->isFolder ? entry->iFileCount.get() : 1},
                               {"folders", entry->isFolder ? entry->iFolderCount.get() : 0}});
        }
        categories.push_back({{"key", std::string(node->strFolderName())},
                              {"displayName", category != nullptr ? category->displayName : std::string()},
                              {"explanation", category != nullptr ? category->explanation : std::string()},
                              {"size", node->iTotalSize},
                              {"files", node->iFileCount.get()},
                              {"folders", node->iFolderCount.get()},
                              {"entries", std::move(entries)}});
    }
    return dump(json{{"categories", std::move(categories)}});
}

}  // namespace harbormind
