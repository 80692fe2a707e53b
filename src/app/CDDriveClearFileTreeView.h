#pragma once

#include <QPointer>
#include <QTreeView>

#include <functional>
#include <memory>

#include "cleaning/SelectMessage.h"
#include "cleaning/SortType.h"

namespace harbormind {

class CDDriveClearStatuBarView;
class CDDriveClearTreeModel;
class FolderTreeNode;

// The drive clear tree: check box, icon and name, size and modification time of every entry,
// folders opened on demand, sortable by the column headers. Setting a check box marks or keeps
// the entry and everything below it, recounts the selection and shows it in the status bar.
class CDDriveClearFileTreeView : public QTreeView {
public:
    explicit CDDriveClearFileTreeView(QWidget* parent);

    void setRoot(std::shared_ptr<FolderTreeNode> root);
    const std::shared_ptr<FolderTreeNode>& root() const;
    void setStatusBarView(CDDriveClearStatuBarView* statusBar);

    // The user set the check box of `node` (status 0 marks, 1 keeps).
    void changeStatus(FolderTreeNode* node, int status);
    // Counts the selection from the top node again and shows it.
    void recount();
    void headerClicked(int column);

    const SelectMessage& selectInfo() const { return selectInfo_; }
    SortType sortType() const;
    CDDriveClearTreeModel* treeModel() const { return model_; }
    // Opens a folder's row (fetching its children); false when it is not shown.
    bool expandNode(const FolderTreeNode* node);

    std::function<void(FolderTreeNode* node)> onNodeSelected;

private:
    CDDriveClearTreeModel* model_;
    SelectMessage selectInfo_;
    QPointer<CDDriveClearStatuBarView> statusBarView_;
};

}  // namespace harbormind
