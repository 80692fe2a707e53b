#pragma once

#include <QPointer>
#include <QTreeView>

#include <functional>
#include <cstdint>
#include <memory>
#include <vector>

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

    // The user set the check box of `node` (status 0 marks, 1 keeps). Below a large folder
    // the status reaches the entries in steps of `spreadStep` entries, one step per turn of
    // the event loop, so the window keeps drawing; the count is right at once.
    void changeStatus(FolderTreeNode* node, int status);
    // Finishes a status change still on its way down (before anything else reads the tree).
    void finishSpreading();
    bool isSpreading() const { return !spreading_.empty(); }
    static inline std::int64_t spreadStep = 200000;
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
    // Gives up to `budget` entries the spreading status; answers whether any are left.
    bool spread(std::int64_t budget);
    void scheduleSpread();

    CDDriveClearTreeModel* model_;
    std::vector<FolderTreeNode*> spreading_;
    int spreadingStatus_ = 1;
    std::uint64_t spreadGeneration_ = 0;
    SelectMessage selectInfo_;
    QPointer<CDDriveClearStatuBarView> statusBarView_;
};

}  // namespace harbormind
