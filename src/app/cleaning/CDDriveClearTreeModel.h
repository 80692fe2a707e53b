#pragma once

#include <QAbstractItemModel>
#include <QIcon>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "cleaning/SortType.h"

namespace harbormind {

class FolderTreeNode;

// The drive clear tree as a lazy model: the top folder is the one top row, and a folder's
// children become rows only when the view first expands it, sorted then. A tree of millions of
// entries therefore costs the view only what the user has opened.
class CDDriveClearTreeModel : public QAbstractItemModel {
public:
    enum Column { nameColumn = 0, sizeColumn = 1, dateColumn = 2, columnCount_ = 3 };

    explicit CDDriveClearTreeModel(QObject* parent);

    // Shows `root` (none: an empty model), forgetting every fetched folder.
    void setRoot(std::shared_ptr<FolderTreeNode> root);
    const std::shared_ptr<FolderTreeNode>& root() const { return root_; }
    // Sorts every fetched folder again; folders fetched later are sorted the same way.
    void setSortType(SortType order);
    SortType sortType() const { return sortType_; }
    // Tells the view that check boxes of fetched rows may have changed.
    void statusesChanged();

    FolderTreeNode* nodeAt(const QModelIndex& index) const;
    QModelIndex indexOf(const FolderTreeNode* node) const;
    std::vector<const FolderTreeNode*> fetchedFolders() const;

    // The user set a check box (status 0 marks, 1 keeps).
    std::function<void(FolderTreeNode* node, int status)> onCheckChanged;

    QModelIndex index(int row, int column, const QModelIndex& parent) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    bool hasChildren(const QModelIndex& parent) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Rows {
        std::vector<FolderTreeNode*> order;
        std::unordered_map<const FolderTreeNode*, int> rowOf;
    };
    Rows sortedRows(FolderTreeNode* folder) const;
    int rowOf(const FolderTreeNode* node) const;

    std::shared_ptr<FolderTreeNode> root_;
    std::unordered_map<const FolderTreeNode*, Rows> fetched_;
    SortType sortType_ = SortType::noSort;
    QIcon folderIcon_;
    QIcon fileIcon_;
};

}  // namespace harbormind
