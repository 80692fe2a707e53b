#include "app/cleaning/CDDriveClearFileTreeView.h"

#include <QHeaderView>

#include <limits>

#include "app/cleaning/CDCleanAlerts.h"
#include "app/cleaning/CDDriveClearStatuBarView.h"
#include "app/cleaning/CDDriveClearTreeModel.h"
#include "app/cleaning/CDSelectionCount.h"
#include "cleaning/CleaningTexts.h"
#include "cleaning/FolderTreeNode.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

constexpr const char* columnIdentifiers[] = {CleaningTexts::columnFileName, CleaningTexts::columnFileSize,
                                              CleaningTexts::columnFileModificationDate};

}  // namespace

CDDriveClearFileTreeView::CDDriveClearFileTreeView(QWidget* parent)
    : QTreeView(parent), model_(new CDDriveClearTreeModel(this)) {
    setObjectName(QStringLiteral("driveClearTree"));
    setModel(model_);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(CDDriveClearTreeModel::nameColumn, QHeaderView::Stretch);
    setColumnWidth(CDDriveClearTreeModel::sizeColumn, 90);
    setColumnWidth(CDDriveClearTreeModel::dateColumn, 150);
    model_->onCheckChanged = [this](FolderTreeNode* node, int status) { changeStatus(node, status); };
    connect(header(), &QHeaderView::sectionClicked, this, &CDDriveClearFileTreeView::headerClicked);
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& folder, int, int) { rowsFetched(folder); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (onNodeSelected) {
            onNodeSelected(model_->nodeAt(current));
        }
    });
}

void CDDriveClearFileTreeView::setStatusBarView(CDDriveClearStatuBarView* statusBar) {
    statusBarView_ = statusBar;
}

void CDDriveClearFileTreeView::setRoot(std::shared_ptr<FolderTreeNode> root) {
    finishSpreading();
    model_->setRoot(std::move(root));
    if (model_->root()) {
        expandNode(model_->root().get());
    }
    recount();
}

const std::shared_ptr<FolderTreeNode>& CDDriveClearFileTreeView::root() const {
    return model_->root();
}

SortType CDDriveClearFileTreeView::sortType() const {
    return model_->sortType();
}

void CDDriveClearFileTreeView::changeStatus(FolderTreeNode* node, int status) {
    if (node == nullptr) {
        return;
    }
    if (coversSpread(node)) {
        // The new status reaches everything the spreading one had still to reach.
        ++spreadGeneration_;
        spreading_.clear();
    } else {
        finishSpreading();
    }
    node->selectStatus = status;
    if (node->iFileCount + node->iFolderCount <= spreadStep) {
        node->updateChildStatus();
    } else {
        spreadingStatus_ = status;
        spreadingTop_ = node;
        spreading_.assign(node->childs.begin(), node->childs.end());
        spreadToRows();
        scheduleSpread();
    }
    if (node->parent != nullptr) {
        node->updateParentStatus(status);
    }
    recount();
    model_->statusesChanged();
}

bool CDDriveClearFileTreeView::coversSpread(const FolderTreeNode* node) const {
    if (spreading_.empty()) {
        return false;
    }
    for (const FolderTreeNode* folder = spreadingTop_; folder != nullptr; folder = folder->parent) {
        if (folder == node) {
            return true;
        }
    }
    return false;
}

bool CDDriveClearFileTreeView::insideSpread(const FolderTreeNode* node) const {
    if (spreading_.empty()) {
        return false;
    }
    for (; node != nullptr; node = node->parent) {
        if (node == spreadingTop_) {
            return true;
        }
    }
    return false;
}

void CDDriveClearFileTreeView::spreadToRows() {
    // Every entry below the spreading folder ends with its status, so the rows shown there can
    // take it now. A shown folder's parent is shown too, so this reaches every shown row.
    for (const FolderTreeNode* folder : model_->fetchedFolders()) {
        if (insideSpread(folder)) {
            for (FolderTreeNode* child : folder->childs) {
                child->selectStatus = spreadingStatus_;
            }
        }
    }
}

void CDDriveClearFileTreeView::rowsFetched(const QModelIndex& parent) {
    const FolderTreeNode* folder = model_->nodeAt(parent);
    if (folder != nullptr && insideSpread(folder)) {
        for (FolderTreeNode* child : folder->childs) {
            child->selectStatus = spreadingStatus_;
        }
    }
}

bool CDDriveClearFileTreeView::spread(std::int64_t budget, Clock::Duration turn) {
    // The clock is read only now and then: a step is a few hundred nanoseconds.
    constexpr int stepsBetweenReadings = 1024;
    Clock& clock = Clock::current();
    const bool timed = turn != untimed;
    const Clock::TimePoint end = timed ? clock.now() + turn : Clock::TimePoint{};
    int untilReading = stepsBetweenReadings;
    for (; budget > 0 && !spreading_.empty(); --budget) {
        FolderTreeNode* node = spreading_.back();
        spreading_.pop_back();
        node->selectStatus = spreadingStatus_;
        const NodeList& childs = node->childs;
        if (!childs.empty()) {
            spreading_.insert(spreading_.end(), childs.begin(), childs.end());
        }
        if (timed && --untilReading == 0) {
            untilReading = stepsBetweenReadings;
            if (clock.now() >= end) {
                break;
            }
        }
    }
    return !spreading_.empty();
}

void CDDriveClearFileTreeView::scheduleSpread() {
    const std::uint64_t generation = ++spreadGeneration_;
    QPointer<CDDriveClearFileTreeView> self(this);
    Dispatch::main().async([self, generation] {
        CDDriveClearFileTreeView* view = self.data();
        if (view == nullptr || generation != view->spreadGeneration_) {
            return;
        }
        if (view->spread(spreadStep, spreadTurn)) {
            view->scheduleSpread();
        } else {
            view->model_->statusesChanged();
        }
    });
}

void CDDriveClearFileTreeView::finishSpreading() {
    if (spreading_.empty()) {
        return;
    }
    ++spreadGeneration_;
    spread(std::numeric_limits<std::int64_t>::max(), untimed);
    model_->statusesChanged();
}

void CDDriveClearFileTreeView::recount() {
    selectInfo_ = CDSelectionCount::marked(model_->root().get());
    if (statusBarView_) {
        statusBarView_->setStatus(QString::fromStdString(CDCleanAlerts::statusLine(selectInfo_)));
    }
}

bool CDDriveClearFileTreeView::expandNode(const FolderTreeNode* node) {
    QModelIndex index = model_->indexOf(node);
    if (!index.isValid()) {
        return false;
    }
    if (model_->canFetchMore(index)) {
        model_->fetchMore(index);
    }
    expand(index);
    return true;
}

void CDDriveClearFileTreeView::headerClicked(int column) {
    if (column < 0 || column >= CDDriveClearTreeModel::columnCount_) {
        return;
    }
    // Re-sorting resets the model; the folders that were open are opened again.
    std::vector<const FolderTreeNode*> open;
    for (const FolderTreeNode* folder : model_->fetchedFolders()) {
        if (isExpanded(model_->indexOf(folder))) {
            open.push_back(folder);
        }
    }
    finishSpreading();
    FolderTreeNode* current = model_->nodeAt(currentIndex());
    model_->setSortType(sortTypeAfterHeaderClick(model_->sortType(), columnIdentifiers[column]));
    // Parents come before their children when opened from the top down.
    std::sort(open.begin(), open.end(), [](const FolderTreeNode* a, const FolderTreeNode* b) {
        auto depth = [](const FolderTreeNode* n) {
            int d = 0;
            for (; n->parent != nullptr; n = n->parent) {
                ++d;
            }
            return d;
        };
        return depth(a) < depth(b);
    });
    for (const FolderTreeNode* folder : open) {
        expandNode(folder);
    }
    if (current != nullptr) {
        setCurrentIndex(model_->indexOf(current));
    }
}

}  // namespace harbormind
