#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/drives/DMDriveSnapshot.h"

class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace harbormind {

class DMDriveActionManager;
class DMDriveObjectProtocol;
class DMSidebarViewControllerDelegate;
class Timer;

// The drive tree: sections "Local Drive" and "Network Drive", root drives under their
// section, children under their parents, each level in ascending order of identifier. It
// keeps the selection, builds the row menus and sends their commands to the dispatcher.
class DMSidebarViewController {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;
    using DriveList = std::vector<Drive>;

    DMSidebarViewController(std::shared_ptr<DMDriveActionManager> actions, std::function<QWidget*()> window,
                            std::function<bool()> driverMissing, QWidget* parent);
    ~DMSidebarViewController();

    QTreeWidget* view() const { return view_; }
    void setDelegate(DMSidebarViewControllerDelegate* delegate) { delegate_ = delegate; }
    // The USB blocker's "Add whitelist" row item: whether a drive's disk is offered, and what
    // choosing it does.
    struct WhiteListOffer {
        std::function<bool(const Drive&)> offers;
        std::function<void(const Drive&)> add;
    };
    void setWhiteListOffer(WhiteListOffer offer) { whiteList_ = std::move(offer); }

    // The lists, changed by the window controller on the main queue.
    void addDrive(const std::string& section, const Drive& drive);
    void removeDrive(const std::string& identifier);
    // Puts a newer object for the same drive in place; a drive not listed is left out.
    bool replaceDrive(const Drive& drive);
    const std::map<std::string, DriveList>& rootItems() const { return rootItems_; }
    const std::map<std::string, DriveList>& subItems() const { return subItems_; }

    // Reads every listed drive again and redraws the tree. One load runs at a time: asked while
    // one runs, the tree is read once more when that one has been drawn.
    void reload();
    // Reloads once on the next turn of the main queue, however often it is asked before then.
    void reloadSoon();
    // The next reload re-classifies this drive (it appeared, mounted or unmounted).
    void markStale(const std::string& identifier);
    // Cancels a pending deferred reload and schedules one `delaySeconds` from now.
    void scheduleReload(double delaySeconds);
    int reloadCount() const { return reloadCount_; }

    Drive selectedItem() const { return selectedItem_; }
    bool select(const std::string& identifier);
    const DMDriveSnapshot* snapshot(const std::string& identifier) const;

    // The row menu for `row` (null: the empty space), rebuilt every time.
    QMenu* rebuildMenu(QTreeWidgetItem* row);
    QMenu* sidebarMenu() const { return sidebarMenu_; }
    QTreeWidgetItem* itemFor(const std::string& identifier) const;
    QTreeWidgetItem* sectionItem(const std::string& section) const;
    // The identifiers in display order, depth first, with sections as "#<name>".
    std::vector<std::string> displayedRows() const;
    // Whether the last reload showed at least one drive row.
    bool showsDrives() const;

    // The search text the facade filters by; an empty tree says nothing matches it.
    void setFilterText(std::string text) { filterText_ = std::move(text); }
    // Told after every reload has been drawn.
    void setReloadObserver(std::function<void()> observer) { reloadObserver_ = std::move(observer); }
    // Opens the row menu of the current row below it (Shift+F10 and the menu key).
    void openMenuForCurrentRow();

private:
    void startLoad();
    void applyLoad(const std::vector<DMDriveSnapshot>& snapshots, const DriveList& drives);
    void addRows(QTreeWidgetItem* parent, const DriveList& drives, std::vector<std::string>& path);
    bool isVisible(const Drive& drive, std::vector<std::string>& path) const;
    void selectionChanged();
    DriveList sorted(const DriveList& drives) const;

    std::shared_ptr<DMDriveActionManager> driveActionManager_;
    std::function<QWidget*()> window_;
    std::function<bool()> driverMissing_;
    WhiteListOffer whiteList_;
    DMSidebarViewControllerDelegate* delegate_ = nullptr;
    QTreeWidget* view_;
    QMenu* sidebarMenu_;
    std::map<std::string, DriveList> rootItems_;
    std::map<std::string, DriveList> subItems_;
    std::map<std::string, DMDriveSnapshot> snapshots_;
    std::map<std::string, Drive> drives_;
    Drive selectedItem_;
    std::string selectedIdentifier_;
    std::shared_ptr<Timer> reloadTimer_;
    bool reloadQueued_ = false;
    std::set<std::string> stale_;
    std::set<std::string> refreshing_;  // stale drives the load under way re-reads
    int reloadCount_ = 0;
    bool loading_ = false;
    bool loadAgain_ = false;
    std::shared_ptr<bool> alive_;
    std::string filterText_;
    std::function<void()> reloadObserver_;
};

}  // namespace harbormind
