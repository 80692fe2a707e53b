#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/cleaning/CDCleaningViewController.h"
#include "cleaning/SelectMessage.h"
#include "platform/JunkLocations.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace harbormind {

class CDJunkClearItemView;
class CDJunkFileView;
class CDJunkMaskWindowController;
class DMAlertPresenter;
class DMFileClearManager;
class FolderTreeNode;

// The content of the junk window: the category list, the selected category's files, "Select
// All", "Refresh", the status line and "Clean", driving the junk scan and the junk pass.
class CDJunkClearViewController : public CDCleaningViewController {
public:
    static constexpr std::int64_t filterSize = 0x100000;
    static constexpr double maskCloseDelay = 0.2;

    CDJunkClearViewController(DMFileClearManager& manager, std::vector<JunkCategory> table,
                              std::shared_ptr<DMAlertPresenter> presenter, Workspace* workspace, QWidget* parent);

    // A new scan ("Refresh" does the same).
    void start();
    void clean();
    void setSelectAll(bool on);
    // The user set a check box of a category or an entry (status 0 marks, 1 keeps).
    void changeStatus(FolderTreeNode* node, int status);
    void showInFinder(FolderTreeNode* node);

    CDJunkClearItemView* itemView() const { return itemView_; }
    CDJunkFileView* fileView() const { return fileView_; }
    CDJunkMaskWindowController* mask() const { return mask_; }
    QString statusText() const;
    const SelectMessage& selection() const { return selectInfo_; }

private:
    void searchFinished() override;
    void deleteFinished() override;
    void reloadLists();
    void recount();
    void showCategory(FolderTreeNode* category);

    DMFileClearManager& manager_;
    CDJunkClearItemView* itemView_;
    CDJunkFileView* fileView_;
    QCheckBox* cbSelectAll_;
    QPushButton* btnRefresh_;
    QPushButton* btnClean_;
    QLabel* lbStatus_;
    CDJunkMaskWindowController* mask_;
    SelectMessage selectInfo_;
};

}  // namespace harbormind
