#include "app/cleaning/CDDriveClearViewController.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>

#include "app/cleaning/CDCleanAlerts.h"
#include "app/cleaning/CDDriveClearFileTreeView.h"
#include "app/cleaning/CDDriveClearStatuBarView.h"
#include "app/cleaning/CDDriveMaskWindowController.h"
#include "app/cleaning/CDFileMessageShowView.h"
#include "app/cleaning/CDScanDelegate.h"
#include "app/common/DMAlertPresenter.h"
#include "cleaning/DMFileScanManager.h"
#include "cleaning/FolderTreeNode.h"
#include "platform/Workspace.h"

namespace harbormind {

CDDriveClearViewController::CDDriveClearViewController(DMFileScanManager& manager,
                                                       std::shared_ptr<DMAlertPresenter> presenter,
                                                       Workspace* workspace, QWidget* parent)
    : CDCleaningViewController(std::move(presenter), workspace, parent),
      driverCleanMgr_(manager),
      treeBgView_(new QWidget(this)),
      searchEdit_(new QLineEdit(this)),
      fileTreeOutlineView_(new CDDriveClearFileTreeView(treeBgView_)),
      fileInfoView_(new CDFileMessageShowView(this)),
      statusBarView_(new CDDriveClearStatuBarView(this)),
      maskWindows_(nullptr) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    searchEdit_->setReadOnly(true);
    searchEdit_->setObjectName(QStringLiteral("driveClearPath"));
    layout->addWidget(searchEdit_);
    auto* treeLayout = new QVBoxLayout(treeBgView_);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->addWidget(fileTreeOutlineView_);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(treeBgView_);
    splitter->addWidget(fileInfoView_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({640, 260});
    layout->addWidget(splitter, 1);
    layout->addWidget(statusBarView_);
    maskWindows_ = new CDDriveMaskWindowController(this);
    fileTreeOutlineView_->setStatusBarView(statusBarView_);

    fileTreeOutlineView_->onNodeSelected = [this](FolderTreeNode* node) { fileInfoView_->setData(node); };
    fileInfoView_->onOpen = [this](FolderTreeNode* node) { openNode(node); };
    fileInfoView_->onRemove = [this](FolderTreeNode* node) { removeNode(node); };
    statusBarView_->onClean = [this] { clean(); };
    follow(maskWindows_);
    fileTreeOutlineView_->recount();
}

void CDDriveClearViewController::setBusy(bool busy) {
    busy_ = busy;
    // Nothing reads the tree while a scan or a pass writes it: the view lets go of it.
    if (busy) {
        fileInfoView_->setData(nullptr);
        fileTreeOutlineView_->setRoot(nullptr);
    }
}

void CDDriveClearViewController::start(const std::string& path) {
    searchEdit_->setText(QString::fromStdString(path));
    delegate_->setStop(false);
    driverCleanMgr_.setDelegate(delegate_);
    setBusy(true);
    maskWindows_->showSearching(QString::fromStdString(path));
    driverCleanMgr_.bulidTree(path);
}

void CDDriveClearViewController::searchFinished() {
    maskWindows_->closeMask();
    busy_ = false;
    fileTreeOutlineView_->setRoot(driverCleanMgr_.getRoot());
}

void CDDriveClearViewController::clean() {
    if (busy_) {
        return;
    }
    fileTreeOutlineView_->finishSpreading();
    fileTreeOutlineView_->recount();
    const SelectMessage selection = fileTreeOutlineView_->selectInfo();
    if (CDCleanAlerts::isEmpty(selection)) {
        presenter_->present(CDCleanAlerts::nothingSelected(), window(), nullptr);
        return;
    }
    QPointer<CDDriveClearViewController> self(this);
    presenter_->present(CDCleanAlerts::confirmation(selection), window(), [self](int button) {
        if (self && button == 0 && !self->busy_) {
            self->startDeletion();
        }
    });
}

void CDDriveClearViewController::startDeletion() {
    // The pass reads every status: a change still spreading is finished first.
    fileTreeOutlineView_->finishSpreading();
    auto root = fileTreeOutlineView_->root();
    if (!root || root->childs.empty() || root->selectStatus == FolderTreeNode::statusKept) {
        presenter_->present(CDCleanAlerts::nothingSelected(), window(), nullptr);
        return;
    }
    setBusy(true);
    maskWindows_->showDeleting();
    driverCleanMgr_.setDelegate(delegate_);
    driverCleanMgr_.deleteFiles();
}

void CDDriveClearViewController::deleteFinished() {
    maskWindows_->closeMask();
    busy_ = false;
    fileTreeOutlineView_->setRoot(driverCleanMgr_.getRoot());
    presenter_->present(CDCleanAlerts::finished(driverCleanMgr_.getFaileRecord()), window(), nullptr);
}

void CDDriveClearViewController::openNode(FolderTreeNode* node) {
    if (node == nullptr || workspace_ == nullptr || busy_) {
        return;
    }
    const std::string path = node->fullpath();
    const bool folder = node->isFolder && !node->isLink;
    askDesktop(
        [path, folder](Workspace& workspace) {
            return folder ? workspace.openFolder(path)
                          : workspace.openURL(
                                QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded).toStdString());
        },
        folder);
}

void CDDriveClearViewController::removeNode(FolderTreeNode* node) {
    auto root = fileTreeOutlineView_->root();
    if (node == nullptr || !root || busy_) {
        return;
    }
    // "Delete" deletes the shown entry alone: every other mark is dropped first, and the usual
    // confirmation names what will go.
    fileTreeOutlineView_->changeStatus(root.get(), FolderTreeNode::statusKept);
    fileTreeOutlineView_->changeStatus(node, FolderTreeNode::statusMarked);
    clean();
}

}  // namespace harbormind
