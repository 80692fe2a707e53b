#pragma once

#include <QTreeWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/JunkLocations.h"

namespace harbormind {

class FolderTreeNode;

// The category list of the junk window: each category with its check box, display name and
// size.
class CDJunkClearItemView : public QTreeWidget {
public:
    CDJunkClearItemView(std::vector<JunkCategory> table, QWidget* parent);

    void setRoot(std::shared_ptr<FolderTreeNode> root);
    const std::shared_ptr<FolderTreeNode>& root() const { return root_; }
    // Shows the categories of the current root again, keeping the selected category.
    void reload();

    FolderTreeNode* selectedCategory() const;
    FolderTreeNode* categoryAt(int row) const;
    const JunkCategory* describe(const FolderTreeNode* category) const;

    // The user set a category's check box (status 0 or 1).
    std::function<void(FolderTreeNode* category, int status)> onCheckChanged;
    std::function<void(FolderTreeNode* category)> onCategorySelected;

private:
    void itemCheckChanged(QTreeWidgetItem* item, int column);

    std::vector<JunkCategory> table_;
    std::shared_ptr<FolderTreeNode> root_;
    bool reloading_ = false;
};

}  // namespace harbormind
