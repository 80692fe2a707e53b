#include "app/cleaning/CDDriveClearTreeModel.h"

#include <QFileIconProvider>

#include "app/cleaning/CDCheckState.h"
#include "app/cleaning/CDFileDates.h"
#include "app/cleaning/CDTexts.h"
#include "app/common/DMTr.h"
#include "cleaning/FolderTreeNode.h"
#include "support/DMByteCountFormatter.h"

namespace harbormind {

CDDriveClearTreeModel::CDDriveClearTreeModel(QObject* parent) : QAbstractItemModel(parent) {
    QFileIconProvider icons;
    folderIcon_ = icons.icon(QFileIconProvider::Folder);
    fileIcon_ = icons.icon(QFileIconProvider::File);
}

void CDDriveClearTreeModel::setRoot(std::shared_ptr<FolderTreeNode> root) {
    beginResetModel();
    fetched_.clear();
    root_ = std::move(root);
    endResetModel();
}

CDDriveClearTreeModel::Rows CDDriveClearTreeModel::sortedRows(FolderTreeNode* folder) const {
    if (sortType_ == SortType::dateOrder || sortType_ == SortType::dateReverseOrder) {
        // The date orders need the dates of the rows about to be shown.
        for (FolderTreeNode* child : folder->childs) {
            if (child->ModificationDate().empty()) {
                child->setModificationDate(CDFileDates::modified(child->fullpath()));
            }
        }
    }
    Rows rows;
    rows.order = sortedChilds(*folder, sortType_);
    rows.rowOf.reserve(rows.order.size());
    for (std::size_t i = 0; i < rows.order.size(); ++i) {
        rows.rowOf.emplace(rows.order[i], static_cast<int>(i));
    }
    return rows;
}

void CDDriveClearTreeModel::setSortType(SortType order) {
    beginResetModel();
    sortType_ = order;
    for (auto& [folder, rows] : fetched_) {
        rows = sortedRows(const_cast<FolderTreeNode*>(folder));
    }
    endResetModel();
}

void CDDriveClearTreeModel::statusesChanged() {
    if (!root_) {
        return;
    }
    QModelIndex top = index(0, nameColumn, {});
    emit dataChanged(top, top, {Qt::CheckStateRole});
    for (const auto& [folder, rows] : fetched_) {
        if (rows.order.empty()) {
            continue;
        }
        QModelIndex parentIndex = indexOf(folder);
        emit dataChanged(index(0, nameColumn, parentIndex),
                         index(static_cast<int>(rows.order.size()) - 1, nameColumn, parentIndex), {Qt::CheckStateRole});
    }
}

FolderTreeNode* CDDriveClearTreeModel::nodeAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<FolderTreeNode*>(index.internalPointer()) : nullptr;
}

int CDDriveClearTreeModel::rowOf(const FolderTreeNode* node) const {
    if (node == nullptr || node == root_.get() || node->parent == nullptr) {
        return 0;
    }
    auto rows = fetched_.find(node->parent);
    if (rows == fetched_.end()) {
        return -1;
    }
    auto row = rows->second.rowOf.find(node);
    return row == rows->second.rowOf.end() ? -1 : row->second;
}

QModelIndex CDDriveClearTreeModel::indexOf(const FolderTreeNode* node) const {
    int row = rowOf(node);
    if (node == nullptr || row < 0) {
        return {};
    }
    return createIndex(row, nameColumn, const_cast<FolderTreeNode*>(node));
}

std::vector<const FolderTreeNode*> CDDriveClearTreeModel::fetchedFolders() const {
    std::vector<const FolderTreeNode*> folders;
    folders.reserve(fetched_.size());
    for (const auto& entry : fetched_) {
        folders.push_back(entry.first);
    }
    return folders;
}

QModelIndex CDDriveClearTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (!root_ || row < 0 || column < 0 || column >= columnCount_) {
        return {};
    }
    if (!parent.isValid()) {
        return row == 0 ? createIndex(0, column, root_.get()) : QModelIndex();
    }
    auto rows = fetched_.find(nodeAt(parent));
    if (rows == fetched_.end() || row >= static_cast<int>(rows->second.order.size())) {
        return {};
    }
    return createIndex(row, column, rows->second.order[static_cast<std::size_t>(row)]);
}

QModelIndex CDDriveClearTreeModel::parent(const QModelIndex& child) const {
    FolderTreeNode* node = nodeAt(child);
    if (node == nullptr || node == root_.get() || node->parent == nullptr) {
        return {};
    }
    return indexOf(node->parent);
}

int CDDriveClearTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return root_ ? 1 : 0;
    }
    if (parent.column() != nameColumn) {
        return 0;
    }
    auto rows = fetched_.find(nodeAt(parent));
    return rows == fetched_.end() ? 0 : static_cast<int>(rows->second.order.size());
}

int CDDriveClearTreeModel::columnCount(const QModelIndex& /*parent*/) const {
    return columnCount_;
}

bool CDDriveClearTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return root_ != nullptr;
    }
    FolderTreeNode* node = nodeAt(parent);
    return parent.column() == nameColumn && node != nullptr && !node->childs.empty();
}

bool CDDriveClearTreeModel::canFetchMore(const QModelIndex& parent) const {
    FolderTreeNode* node = nodeAt(parent);
    return node != nullptr && !node->childs.empty() && fetched_.find(node) == fetched_.end();
}

void CDDriveClearTreeModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) {
        return;
    }
    FolderTreeNode* node = nodeAt(parent);
    Rows rows = sortedRows(node);
    beginInsertRows(parent, 0, static_cast<int>(rows.order.size()) - 1);
    fetched_.emplace(node, std::move(rows));
    endInsertRows();
}

QVariant CDDriveClearTreeModel::data(const QModelIndex& index, int role) const {
    FolderTreeNode* node = nodeAt(index);
    if (node == nullptr) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == nameColumn) {
            auto name = node->strFolderName();
            return QString::fromUtf8(name.data(), static_cast<int>(name.size()));
        }
        if (index.column() == sizeColumn) {
            return QString::fromStdString(DMByteCountFormatter::string(node->iTotalSize));
        }
        if (node->ModificationDate().empty()) {
            // The row is being shown: its date becomes its date sort key too.
            node->setModificationDate(CDFileDates::modified(node->fullpath()));
        }
        return QString::fromStdString(node->ModificationDate());
    case Qt::CheckStateRole:
        return index.column() == nameColumn ? QVariant(CDCheckState::fromStatus(node->selectStatus)) : QVariant();
    case Qt::DecorationRole:
        return index.column() == nameColumn ? QVariant(node->isFolder && !node->isLink ? folderIcon_ : fileIcon_)
                                            : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == sizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::ToolTipRole:
        return QString::fromStdString(node->fullpath());
    default:
        return {};
    }
}

bool CDDriveClearTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    FolderTreeNode* node = nodeAt(index);
    if (node == nullptr || role != Qt::CheckStateRole || index.column() != nameColumn) {
        return false;
    }
    if (onCheckChanged) {
        onCheckChanged(node, CDCheckState::toStatus(static_cast<Qt::CheckState>(value.toInt())));
    }
    return true;
}

Qt::ItemFlags CDDriveClearTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == nameColumn) {
        result |= Qt::ItemIsUserCheckable;
    }
    return result;
}

QVariant CDDriveClearTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case nameColumn:
        return QString::fromLatin1(DMTr::text(CDTexts::columnName));
    case sizeColumn:
        return QString::fromLatin1(DMTr::text(CDTexts::columnSize));
    case dateColumn:
        return QString::fromLatin1(DMTr::text(CDTexts::columnModified));
    default:
        return {};
    }
}

}  // namespace harbormind
