#pragma once

#include <QWidget>

#include <functional>
#include <string>

#include "cleaning/SortType.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace harbormind {

class FolderTreeNode;

// The file list of the junk window: the selected category's explanation above its entries,
// with the columns "File name", "Size" and "Modified time", sortable by their headers, each
// entry with its check box and the context menu "Show in Finder".
class CDJunkFileView : public QWidget {
public:
    explicit CDJunkFileView(QWidget* parent);

    void setCategory(FolderTreeNode* category, const std::string& explanation);
    FolderTreeNode* category() const { return category_; }
    void reload();

    SortType sortType() const { return sortType_; }
    // What a click on the header of column `column` does.
    void headerClicked(int column);
    int rowCount() const;
    FolderTreeNode* nodeAt(int row) const;
    QTreeWidget* list() const { return list_; }
    QString explanation() const;

    std::function<void(FolderTreeNode* node, int status)> onCheckChanged;
    std::function<void(FolderTreeNode* node)> onShowInFinder;

private:
    void showContextMenu(const QPoint& position);
    void itemCheckChanged(QTreeWidgetItem* item, int column);

    QLabel* lbExplanation_;
    QTreeWidget* list_;
    FolderTreeNode* category_ = nullptr;
    SortType sortType_ = SortType::noSort;
    bool reloading_ = false;
};

}  // namespace harbormind
