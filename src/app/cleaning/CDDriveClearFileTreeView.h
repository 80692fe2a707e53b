#pragma once

#include <QPointer>
#include <QTreeView>

#include <functional>
#include <cstdint>
#include <memory>
#include <vector>

#include "cleaning/SelectMessage.h"
#include "cleaning/SortType.h"
#include "support/Clock.h"

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
    // the status reaches the entries in steps, one per turn of the event loop, each of at most
    // `spreadStep` entries and `spreadTurn` on the clock, so the window keeps drawing. The
    // count and every row the view shows are right at once.
    void changeStatus(FolderTreeNode* node, int status);
    // Finishes a status change still on its way down (before anything else reads the tree).
    void finishSpreading();
    bool isSpreading() const { return !spreading_.empty(); }
    static inline std::int64_t spreadStep = 20000;
    static constexpr Clock::Duration spreadTurn = std::chrono::milliseconds(8);
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
    // Gives up to `budget` entries the spreading status, for at most `turn` (`untimed`: as long
    // as it takes); answers whether any are left.
    static constexpr Clock::Duration untimed = Clock::Duration::max();
    bool spread(std::int64_t budget, Clock::Duration turn);
    void scheduleSpread();
    // Whether `node` is the folder whose status is spreading, or one of its ancestors (a change
    // there overrides all that is left of the spreading one).
    bool coversSpread(const FolderTreeNode* node) const;
    // Whether `node` is the spreading folder or lies below it.
    bool insideSpread(const FolderTreeNode* node) const;
    // Gives the spreading status at once to the rows shown below the spreading folder.
    void spreadToRows();
    void rowsFetched(const QModelIndex& parent);

    CDDriveClearTreeModel* model_;
    std::vector<FolderTreeNode*> spreading_;
    FolderTreeNode* spreadingTop_ = nullptr;
    int spreadingStatus_ = 1;
    std::uint64_t spreadGeneration_ = 0;
    SelectMessage selectInfo_;
    QPointer<CDDriveClearStatuBarView> statusBarView_;
};

}  // namespace harbormind
