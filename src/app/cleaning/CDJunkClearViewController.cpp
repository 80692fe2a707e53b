#include "app/cleaning/CDJunkClearViewController.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/cleaning/CDCleanAlerts.h"
#include "app/cleaning/CDJunkClearItemView.h"
#include "app/cleaning/CDJunkFileView.h"
#include "app/cleaning/CDJunkMaskWindowController.h"
#include "app/cleaning/CDScanDelegate.h"
#include "app/cleaning/CDSelectionCount.h"
#include "app/cleaning/CDTexts.h"
#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTr.h"
#include "cleaning/DMFileClearManager.h"
#include "cleaning/FolderTreeNode.h"
#include "platform/Workspace.h"
#include "support/Dispatch.h"

namespace harbormind {

CDJunkClearViewController::CDJunkClearViewController(DMFileClearManager& manager, std::vector<JunkCategory> table,
                                                     std::shared_ptr<DMAlertPresenter> presenter,
                                                     Workspace* workspace, QWidget* parent)
    : CDCleaningViewController(std::move(presenter), workspace, parent),
      manager_(manager),
      itemView_(new CDJunkClearItemView(std::move(table), this)),
      fileView_(new CDJunkFileView(this)),
      cbSelectAll_(new QCheckBox(DMTr::text(CDTexts::selectAll), this)),
      btnRefresh_(new QPushButton(DMTr::text(CDTexts::refresh), this)),
      btnClean_(new QPushButton(DMTr::text(CDTexts::clean), this)),
      lbStatus_(new QLabel(this)),
      mask_(nullptr) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    auto* top = new QHBoxLayout();
    auto* title = new QLabel(DMTr::text(CDTexts::junkWindowTitle), this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    title->setFont(titleFont);
    top->addWidget(title, 1);
    top->addWidget(btnRefresh_);
    layout->addLayout(top);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(itemView_);
    splitter->addWidget(fileView_);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({230, 590});
    layout->addWidget(splitter, 1);
    auto* bottom = new QHBoxLayout();
    bottom->addWidget(cbSelectAll_);
    lbStatus_->setObjectName(QStringLiteral("junkStatus"));
    bottom->addWidget(lbStatus_, 1);
    btnClean_->setDefault(true);
    bottom->addWidget(btnClean_);
    layout->addLayout(bottom);
    mask_ = new CDJunkMaskWindowController(this);

    itemView_->onCheckChanged = [this](FolderTreeNode* node, int status) { changeStatus(node, status); };
    itemView_->onCategorySelected = [this](FolderTreeNode* category) { showCategory(category); };
    fileView_->onCheckChanged = [this](FolderTreeNode* node, int status) { changeStatus(node, status); };
    fileView_->onShowInFinder = [this](FolderTreeNode* node) { showInFinder(node); };
    connect(btnRefresh_, &QPushButton::clicked, this, [this] { start(); });
    connect(btnClean_, &QPushButton::clicked, this, [this] { clean(); });
    connect(cbSelectAll_, &QCheckBox::clicked, this, [this](bool on) { setSelectAll(on); });
    follow(mask_);
    recount();
}

void CDJunkClearViewController::start() {
    cbSelectAll_->setChecked(false);
    busy_ = true;
    manager_.setFilterSize(filterSize);
    delegate_->setStop(false);
    manager_.setDelegate(delegate_);
    manager_.bulidTree();
    mask_->showScanning(DMTr::text(CDTexts::scanningJunk));
}

void CDJunkClearViewController::searchFinished() {
    std::shared_ptr<FolderTreeNode> root = manager_.getRoot();
    itemView_->setRoot(root);
    if (root) {
        for (FolderTreeNode* category : root->childs) {
            if (category->strFolderName() == "userCache") {
                category->selectStatus = FolderTreeNode::statusMarked;
                category->updateChildStatus();
            }
        }
    }
    QPointer<CDJunkClearViewController> self(this);
    Dispatch::main().asyncAfter(seconds(maskCloseDelay), [self] {
        if (self) {
            self->mask_->closeMask();
            self->busy_ = false;
            self->reloadLists();
        }
    });
}

void CDJunkClearViewController::reloadLists() {
    itemView_->reload();
    recount();
}

void CDJunkClearViewController::showCategory(FolderTreeNode* category) {
    const JunkCategory* facts = itemView_->describe(category);
    fileView_->setCategory(category, facts != nullptr ? facts->explanation : std::string());
}

void CDJunkClearViewController::recount() {
    // Counted category by category: the junk tree's top node carries no totals of its own, so
    // a top node marked because every category is marked would otherwise count nothing.
    selectInfo_ = SelectMessage();
    if (const auto& root = itemView_->root()) {
        for (const FolderTreeNode* category : root->childs) {
            SelectMessage part = CDSelectionCount::marked(category);
            selectInfo_.totalSize += part.totalSize;
            selectInfo_.folderCount += part.folderCount;
            selectInfo_.fileCount += part.fileCount;
        }
    }
    lbStatus_->setText(QString::fromStdString(CDCleanAlerts::statusLine(selectInfo_)));
}

QString CDJunkClearViewController::statusText() const {
    return lbStatus_->text();
}

void CDJunkClearViewController::changeStatus(FolderTreeNode* node, int status) {
    if (node == nullptr || busy_) {
        return;
    }
    node->selectStatus = status;
    node->updateChildStatus();
    if (node->parent != nullptr) {
        node->updateParentStatus(status);
    }
    reloadLists();
}

void CDJunkClearViewController::setSelectAll(bool on) {
    cbSelectAll_->setChecked(on);
    auto root = itemView_->root();
    if (!root || busy_) {
        return;
    }
    const int status = on ? FolderTreeNode::statusMarked : FolderTreeNode::statusKept;
    for (FolderTreeNode* category : root->childs) {
        category->selectStatus = status;
        category->updateChildStatus();
    }
    FolderTreeNode::updateParentStatus(root.get(), status);
    reloadLists();
}

void CDJunkClearViewController::showInFinder(FolderTreeNode* node) {
    if (node == nullptr || workspace_ == nullptr) {
        return;
    }
    const std::string path = node->fullpath();
    askDesktop([path](Workspace& workspace) { return workspace.showItem(path); }, node->isFolder);
}

void CDJunkClearViewController::clean() {
    if (busy_) {
        return;
    }
    recount();
    if (CDCleanAlerts::isEmpty(selectInfo_)) {
        presenter_->present(CDCleanAlerts::nothingSelected(), window(), nullptr);
        return;
    }
    QPointer<CDJunkClearViewController> self(this);
    presenter_->present(CDCleanAlerts::confirmation(selectInfo_), window(), [self](int button) {
        if (!self || button != 0 || self->busy_) {
            return;
        }
        self->busy_ = true;
        self->mask_->showDeleting();
        self->manager_.setDelegate(self->delegate_);
        self->manager_.deleteFiles();
        self->selectInfo_ = SelectMessage();
        self->lbStatus_->setText(QString::fromStdString(CDCleanAlerts::clearedStatusLine()));
    });
}

void CDJunkClearViewController::deleteFinished() {
    mask_->closeMask();
    busy_ = false;
    presenter_->present(CDCleanAlerts::finished(manager_.getFaileRecord()), window(), nullptr);
    reloadLists();
}

}  // namespace harbormind
