#pragma once

#include "app/cleaning/CDCleaningViewController.h"

#include <memory>
#include <string>

class QLineEdit;

namespace harbormind {

class CDDriveClearFileTreeView;
class CDDriveClearStatuBarView;
class CDDriveMaskWindowController;
class CDFileMessageShowView;
class DMAlertPresenter;
class DMFileScanManager;
class FolderTreeNode;

// The content of the drive clear window: the scanned path, the tree, the details pane and the
// status bar, driving the folder scan and the drive-clear pass.
class CDDriveClearViewController : public CDCleaningViewController {
public:
    CDDriveClearViewController(DMFileScanManager& manager, std::shared_ptr<DMAlertPresenter> presenter,
                               Workspace* workspace, QWidget* parent);

    // Scans `path` anew.
    void start(const std::string& path);
    void clean();
    // The details pane's "Open" and "Delete".
    void openNode(FolderTreeNode* node);
    void removeNode(FolderTreeNode* node);

    CDDriveClearFileTreeView* fileTreeOutlineView() const { return fileTreeOutlineView_; }
    CDFileMessageShowView* fileInfoView() const { return fileInfoView_; }
    CDDriveClearStatuBarView* statusBarView() const { return statusBarView_; }
    CDDriveMaskWindowController* maskWindows() const { return maskWindows_; }
    QLineEdit* searchEdit() const { return searchEdit_; }

private:
    void searchFinished() override;
    void deleteFinished() override;
    void startDeletion();
    void setBusy(bool busy);

    DMFileScanManager& driverCleanMgr_;
    QWidget* treeBgView_;
    QLineEdit* searchEdit_;
    CDDriveClearFileTreeView* fileTreeOutlineView_;
    CDFileMessageShowView* fileInfoView_;
    CDDriveClearStatuBarView* statusBarView_;
    CDDriveMaskWindowController* maskWindows_;
};

}  // namespace harbormind
