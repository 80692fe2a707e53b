#include "app/cleaning/CDJunkClearItemView.h"

#include <QHeaderView>

#include "app/cleaning/CDCheckState.h"
#include "app/common/DMTr.h"
#include "cleaning/FolderTreeNode.h"
#include "support/DMByteCountFormatter.h"

namespace harbormind {
namespace {

constexpr int nodeRole = Qt::UserRole + 1;

FolderTreeNode* nodeOf(const QTreeWidgetItem* item) {
    return item == nullptr ? nullptr : reinterpret_cast<FolderTreeNode*>(item->data(0, nodeRole).value<quintptr>());
}

}  // namespace

CDJunkClearItemView::CDJunkClearItemView(std::vector<JunkCategory> table, QWidget* parent)
    : QTreeWidget(parent), table_(std::move(table)) {
    setObjectName(QStringLiteral("junkCategories"));
    setColumnCount(2);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::itemChanged, this, &CDJunkClearItemView::itemCheckChanged);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        if (!reloading_ && onCategorySelected) {
            onCategorySelected(nodeOf(current));
        }
    });
}

void CDJunkClearItemView::setRoot(std::shared_ptr<FolderTreeNode> root) {
    root_ = std::move(root);
}

const JunkCategory* CDJunkClearItemView::describe(const FolderTreeNode* category) const {
    if (category == nullptr) {
        return nullptr;
    }
    for (const JunkCategory& entry : table_) {
        if (entry.key == category->strFolderName()) {
            return &entry;
        }
    }
    return nullptr;
}

void CDJunkClearItemView::reload() {
    FolderTreeNode* selected = selectedCategory();
    reloading_ = true;
    clear();
    QTreeWidgetItem* toSelect = nullptr;
    if (root_) {
        for (FolderTreeNode* category : root_->childs) {
            const JunkCategory* facts = describe(category);
            auto* item = new QTreeWidgetItem(this);
            const std::string name = facts ? facts->displayName : std::string(category->strFolderName());
            item->setText(0, DMTr::qtext(name.c_str()));
            item->setText(1, QString::fromStdString(DMByteCountFormatter::string(category->iTotalSize)));
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            item->setData(0, nodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(category)));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(0, CDCheckState::fromStatus(category->selectStatus));
            if (category == selected) {
                toSelect = item;
            }
        }
    }
    if (toSelect == nullptr && topLevelItemCount() > 0) {
        toSelect = topLevelItem(0);
    }
    setCurrentItem(toSelect);
    reloading_ = false;
    if (onCategorySelected) {
        onCategorySelected(nodeOf(toSelect));
    }
}

FolderTreeNode* CDJunkClearItemView::selectedCategory() const {
    return nodeOf(currentItem());
}

FolderTreeNode* CDJunkClearItemView::categoryAt(int row) const {
    return nodeOf(topLevelItem(row));
}

void CDJunkClearItemView::itemCheckChanged(QTreeWidgetItem* item, int column) {
    if (reloading_ || column != 0) {
        return;
    }
    FolderTreeNode* category = nodeOf(item);
    if (category != nullptr && onCheckChanged) {
        onCheckChanged(category, CDCheckState::toStatus(item->checkState(0)));
    }
}

}  // namespace harbormind
