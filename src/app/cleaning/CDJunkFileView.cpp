#include "app/cleaning/CDJunkFileView.h"

#include <QFileIconProvider>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/cleaning/CDCheckState.h"
#include "app/cleaning/CDFileDates.h"
#include "app/cleaning/CDTexts.h"
#include "app/common/DMTr.h"
#include "cleaning/CleaningTexts.h"
#include "cleaning/FolderTreeNode.h"
#include "support/DMByteCountFormatter.h"

namespace harbormind {
namespace {

constexpr int nodeRole = Qt::UserRole + 1;
constexpr const char* columnIdentifiers[] = {CleaningTexts::columnFileName, CleaningTexts::columnFileSize,
                                              CleaningTexts::columnFileModificationDate};

FolderTreeNode* nodeOf(const QTreeWidgetItem* item) {
    return item == nullptr ? nullptr : reinterpret_cast<FolderTreeNode*>(item->data(0, nodeRole).value<quintptr>());
}

}  // namespace

CDJunkFileView::CDJunkFileView(QWidget* parent)
    : QWidget(parent), lbExplanation_(new QLabel(this)), list_(new QTreeWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    lbExplanation_->setWordWrap(true);
    lbExplanation_->setObjectName(QStringLiteral("junkExplanation"));
    list_->setObjectName(QStringLiteral("junkFiles"));
    list_->setColumnCount(3);
    list_->setHeaderLabels({DMTr::text(CDTexts::columnName), DMTr::text(CDTexts::columnSize), DMTr::text(CDTexts::columnModified)});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setSectionsClickable(true);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);
    list_->setColumnWidth(1, 90);
    list_->setColumnWidth(2, 150);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(lbExplanation_);
    layout->addWidget(list_, 1);
    connect(list_->header(), &QHeaderView::sectionClicked, this, &CDJunkFileView::headerClicked);
    connect(list_, &QTreeWidget::itemChanged, this, &CDJunkFileView::itemCheckChanged);
    connect(list_, &QWidget::customContextMenuRequested, this, &CDJunkFileView::showContextMenu);
}

void CDJunkFileView::setCategory(FolderTreeNode* category, const std::string& explanation) {
    category_ = category;
    lbExplanation_->setText(DMTr::qtext(explanation.c_str()));
    reload();
}

QString CDJunkFileView::explanation() const {
    return lbExplanation_->text();
}

void CDJunkFileView::reload() {
    reloading_ = true;
    list_->clear();
    if (category_ != nullptr) {
        QFileIconProvider icons;
        // Dates are read for every entry first, so the date orders see them all.
        for (FolderTreeNode* child : category_->childs) {
            if (child->ModificationDate().empty()) {
                child->setModificationDate(CDFileDates::modified(child->fullpath()));
            }
        }
        for (FolderTreeNode* child : sortedChilds(*category_, sortType_)) {
            auto* item = new QTreeWidgetItem(list_);
            item->setText(0, QString::fromUtf8(child->strFolderName().data(), static_cast<int>(child->strFolderName().size())));
            item->setToolTip(0, QString::fromStdString(child->fullpath()));
            item->setIcon(0, icons.icon(child->isFolder ? QFileIconProvider::Folder : QFileIconProvider::File));
            item->setText(1, QString::fromStdString(DMByteCountFormatter::string(child->iTotalSize)));
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            item->setText(2, QString::fromStdString(child->ModificationDate()));
            item->setData(0, nodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(child)));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(0, CDCheckState::fromStatus(child->selectStatus));
        }
    }
    reloading_ = false;
}

void CDJunkFileView::headerClicked(int column) {
    if (column < 0 || column >= 3) {
        return;
    }
    sortType_ = sortTypeAfterHeaderClick(sortType_, columnIdentifiers[column]);
    reload();
}

int CDJunkFileView::rowCount() const {
    return list_->topLevelItemCount();
}

FolderTreeNode* CDJunkFileView::nodeAt(int row) const {
    return nodeOf(list_->topLevelItem(row));
}

void CDJunkFileView::itemCheckChanged(QTreeWidgetItem* item, int column) {
    if (reloading_ || column != 0) {
        return;
    }
    if (FolderTreeNode* node = nodeOf(item); node != nullptr && onCheckChanged) {
        onCheckChanged(node, CDCheckState::toStatus(item->checkState(0)));
    }
}

void CDJunkFileView::showContextMenu(const QPoint& position) {
    FolderTreeNode* node = nodeOf(list_->itemAt(position));
    if (node == nullptr) {
        return;
    }
    QMenu menu(this);
    QAction* show = menu.addAction(DMTr::text(CDTexts::showInFinder));
    if (menu.exec(list_->viewport()->mapToGlobal(position)) == show && onShowInFinder) {
        onShowInFinder(node);
    }
}

}  // namespace harbormind
