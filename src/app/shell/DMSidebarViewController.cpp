#include "app/shell/DMSidebarViewController.h"

#include <QHeaderView>
#include <QMenu>
#include <QShortcut>
#include <QTreeWidget>
#include <algorithm>
#include <set>
#include <utility>

#include "app/common/DMAlertPresenter.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/drives/DMDriveRules.h"
#include "app/drives/DMDriveSnapshotLoader.h"
#include "app/common/DMFailureText.h"
#include "app/common/DMImages.h"
#include "app/details/DMNetworkDriveViewController.h"
#include "app/common/DMShellTexts.h"
#include "app/common/DMTextFormat.h"
#include "app/shell/DMSidebarViewControllerDelegate.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "support/Dispatch.h"
#include "support/Timer.h"

namespace harbormind {
namespace {

// What a failed mount (or connect, for a network drive) started from the menu shows.
DMAlert mountFailure(bool network, int code, const std::string& reason) {
    if (network) {
        DMAlert alert{DMTr::text(DMTexts::connectionFailed), DMNetworkDriveViewController::connectFailureText(code, reason),
                      {DMTr::text(DMTexts::okButton)}};
        alert.informativeText = DMNetworkDriveViewController::connectFailureDetail(code, reason);
        return alert;
    }
    DMAlert alert{DMTr::text(DMTexts::errorTitle), DMFailureText::mountFailure(code, reason), {DMTr::text(DMTexts::okButton)}};
    alert.informativeText = reason;
    return alert;
}

constexpr int identifierRole = Qt::UserRole;
constexpr int sectionRole = Qt::UserRole + 1;

}  // namespace

DMSidebarViewController::DMSidebarViewController(std::shared_ptr<DMDriveActionManager> actions,
                                                 std::function<QWidget*()> window, std::function<bool()> driverMissing,
                                                 QWidget* parent)
    : driveActionManager_(std::move(actions)),
      window_(std::move(window)),
      driverMissing_(std::move(driverMissing)),
      view_(new QTreeWidget(parent)),
      sidebarMenu_(new QMenu(view_)),
      alive_(std::make_shared<bool>(true)) {
    sidebarMenu_->setToolTipsVisible(true);
    view_->setHeaderHidden(true);
    view_->setColumnCount(1);
    view_->setRootIsDecorated(true);
    view_->setIndentation(14);
    view_->setIconSize(QSize(24, 24));
    view_->setUniformRowHeights(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    view_->setAccessibleName(QStringLiteral("Drives"));
    view_->setStyleSheet(QStringLiteral(
        "QTreeWidget { background: palette(window); border: none; padding-top: 6px; outline: 0;"
        " show-decoration-selected: 0; }"
        "QTreeWidget::item { padding: 3px 2px; border: none; }"
        "QTreeWidget::item:selected { background: palette(midlight); color: palette(window-text);"
        " border-radius: 5px; }"
        "QTreeWidget::item:selected:focus { background: palette(highlight); color: palette(highlighted-text); }"));
    QObject::connect(view_, &QTreeWidget::itemSelectionChanged, view_, [this] { selectionChanged(); });
    auto* menuShortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), view_);
    menuShortcut->setContext(Qt::WidgetShortcut);
    QObject::connect(menuShortcut, &QShortcut::activated, view_, [this] { openMenuForCurrentRow(); });
    QObject::connect(view_, &QWidget::customContextMenuRequested, view_, [this](const QPoint& position) {
        QTreeWidgetItem* row = view_->itemAt(position);
        if (row == nullptr && !view_->selectedItems().isEmpty() && view_->hasFocus()) {
            row = view_->currentItem();
        }
        QMenu* menu = rebuildMenu(row);
        if (!menu->isEmpty()) {
            menu->popup(view_->viewport()->mapToGlobal(position));
        }
    });
}

DMSidebarViewController::~DMSidebarViewController() {
    *alive_ = false;
    if (reloadTimer_) {
        reloadTimer_->invalidate();
    }
}

void DMSidebarViewController::addDrive(const std::string& section, const Drive& drive) {
    const std::string identifier = drive->identifier();
    if (auto parent = drive->parent()) {
        auto& siblings = subItems_[parent->identifier()];
        std::erase_if(siblings, [&](const Drive& item) { return item->identifier() == identifier; });
        siblings.push_back(drive);
    } else {
        auto& roots = rootItems_[section];
        std::erase_if(roots, [&](const Drive& item) { return item->identifier() == identifier; });
        roots.push_back(drive);
    }
}

void DMSidebarViewController::removeDrive(const std::string& identifier) {
    // A selected drive that goes away (ejected) hands the selection to the first drive left,
    // so the detail pane does not go blank.
    if (identifier == selectedIdentifier_) {
        selectedIdentifier_.clear();
    }
    for (auto& [section, roots] : rootItems_) {
        std::erase_if(roots, [&](const Drive& item) { return item->identifier() == identifier; });
    }
    for (auto& [parent, children] : subItems_) {
        std::erase_if(children, [&](const Drive& item) { return item->identifier() == identifier; });
    }
    std::erase_if(rootItems_, [](const auto& entry) { return entry.second.empty(); });
    std::erase_if(subItems_, [](const auto& entry) { return entry.second.empty(); });
}

bool DMSidebarViewController::replaceDrive(const Drive& drive) {
    const std::string identifier = drive->identifier();
    bool found = false;
    auto replaceIn = [&](DriveList& list) {
        for (Drive& item : list) {
            if (item->identifier() == identifier && item->category() == drive->category()) {
                item = drive;
                found = true;
            }
        }
    };
    for (auto& [section, roots] : rootItems_) {
        replaceIn(roots);
    }
    for (auto& [parent, children] : subItems_) {
        replaceIn(children);
    }
    return found;
}

void DMSidebarViewController::markStale(const std::string& identifier) {
    stale_.insert(identifier);
}

void DMSidebarViewController::reloadSoon() {
    if (reloadQueued_) {
        return;
    }
    reloadQueued_ = true;
    std::weak_ptr<bool> alive = alive_;
    Dispatch::main().async([this, alive] {
        if (alive.expired()) {
            return;
        }
        reloadQueued_ = false;
        reload();
    });
}

void DMSidebarViewController::scheduleReload(double delaySeconds) {
    if (reloadTimer_) {
        reloadTimer_->invalidate();
    }
    std::weak_ptr<bool> alive = alive_;
    reloadTimer_ = Timer::scheduled(Dispatch::mainQueue(), seconds(delaySeconds), TimerRepeat::Once, [this, alive] {
        if (!alive.expired()) {
            reload();
        }
    });
}

void DMSidebarViewController::reload() {
    ++reloadCount_;
    // A load takes as long as reading its slowest drive. Were loads started side by side with
    // only the newest drawn, changes coming faster than that (disks attached and mounted
    // elsewhere on a busy machine) would supersede every load before it was drawn, and the
    // tree would stay empty while each load asked the daemon about every drive again.
    if (loading_) {
        loadAgain_ = true;
        return;
    }
    startLoad();
}

void DMSidebarViewController::startLoad() {
    // Every drive reachable from the lists, each once.
    DriveList drives;
    std::set<std::string> seen;
    std::vector<Drive> pending;
    for (const auto& [section, roots] : rootItems_) {
        pending.insert(pending.end(), roots.begin(), roots.end());
    }
    while (!pending.empty()) {
        Drive drive = pending.back();
        pending.pop_back();
        const std::string identifier = drive->identifier();
        if (!seen.insert(identifier).second) {
            continue;
        }
        drives.push_back(drive);
        auto children = subItems_.find(identifier);
        if (children != subItems_.end()) {
            pending.insert(pending.end(), children->second.begin(), children->second.end());
        }
    }
    std::weak_ptr<bool> alive = alive_;
    // Drives marked stale from now on are re-read by the next load.
    refreshing_ = std::move(stale_);
    stale_.clear();
    loading_ = true;
    DMDriveSnapshotLoader::load(
        drives,
        [this, alive, drives](std::vector<DMDriveSnapshot> snapshots) {
            if (alive.expired()) {
                return;
            }
            loading_ = false;
            refreshing_.clear();
            applyLoad(snapshots, drives);
            if (std::exchange(loadAgain_, false)) {
                startLoad();
            }
        },
        refreshing_);
}

DMSidebarViewController::DriveList DMSidebarViewController::sorted(const DriveList& drives) const {
    DriveList result = drives;
    // Plain character order, so disk10 comes before disk2.
    std::stable_sort(result.begin(), result.end(),
                     [](const Drive& left, const Drive& right) { return left->identifier() < right->identifier(); });
    return result;
}

bool DMSidebarViewController::isVisible(const Drive& drive, std::vector<std::string>& path) const {
    const std::string identifier = drive->identifier();
    auto found = snapshots_.find(identifier);
    if (found == snapshots_.end() || std::find(path.begin(), path.end(), identifier) != path.end()) {
        return false;
    }
    if (!found->second.isHidden) {
        return true;
    }
    // A hidden drive still shows when one of its children matches, so a match is never orphaned.
    auto children = subItems_.find(identifier);
    if (children == subItems_.end()) {
        return false;
    }
    path.push_back(identifier);
    bool visible = std::any_of(children->second.begin(), children->second.end(),
                               [&](const Drive& child) { return isVisible(child, path); });
    path.pop_back();
    return visible;
}

void DMSidebarViewController::addRows(QTreeWidgetItem* parent, const DriveList& drives, std::vector<std::string>& path) {
    for (const Drive& drive : sorted(drives)) {
        if (!isVisible(drive, path)) {
            continue;
        }
        const std::string identifier = drive->identifier();
        const DMDriveSnapshot& snapshot = snapshots_.at(identifier);
        auto* row = new QTreeWidgetItem(parent);
        row->setText(0, QString::fromStdString(snapshot.name));
        row->setIcon(0, DMImages::icon(snapshot.icon));
        row->setData(0, identifierRole, QString::fromStdString(identifier));
        row->setToolTip(0, QString::fromStdString(snapshot.name + " (" + identifier + ")"));
        if (snapshot.activityIndicator.kind() != DMDriveObjectActivityIndicator::Kind::none) {
            row->setText(0, row->text(0) + QStringLiteral("  \u2026"));
        }
        auto children = subItems_.find(identifier);
        if (children != subItems_.end()) {
            path.push_back(identifier);
            addRows(row, children->second, path);
            path.pop_back();
        }
    }
}

void DMSidebarViewController::applyLoad(const std::vector<DMDriveSnapshot>& snapshots, const DriveList& drives) {
    snapshots_.clear();
    drives_.clear();
    for (std::size_t index = 0; index < snapshots.size() && index < drives.size(); ++index) {
        snapshots_[snapshots[index].identifier] = snapshots[index];
        drives_[snapshots[index].identifier] = drives[index];
    }
    const bool blocked = view_->blockSignals(true);
    view_->clear();
    QTreeWidgetItem* selectedRow = nullptr;
    for (const auto& [section, roots] : rootItems_) {
        if (roots.empty()) {
            continue;
        }
        auto* sectionRow = new QTreeWidgetItem(view_);
        sectionRow->setText(0, QString::fromStdString(section));
        sectionRow->setData(0, sectionRole, QString::fromStdString(section));
        sectionRow->setFlags(Qt::ItemIsEnabled);
        QFont font = sectionRow->font(0);
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 0.9);
        sectionRow->setFont(0, font);
        sectionRow->setForeground(0, view_->palette().color(QPalette::PlaceholderText));
        std::vector<std::string> path;
        addRows(sectionRow, roots, path);
        // A section whose drives the search hides all is left out, not shown bare.
        if (sectionRow->childCount() == 0) {
            delete sectionRow;
        }
    }
    if (view_->topLevelItemCount() == 0 && !filterText_.empty()) {
        auto* nothing = new QTreeWidgetItem(view_);
        nothing->setText(0, QString::fromStdString(DMTextFormat::withText(DMTr::text(DMShellTexts::noMatchFormat), filterText_)));
        nothing->setFlags(Qt::NoItemFlags);
    }
    view_->expandAll();
    if (selectedIdentifier_.empty()) {
        // Start with the first drive selected, so the detail pane is never empty for long.
        QTreeWidgetItemIterator first(view_);
        for (; *first != nullptr; ++first) {
            if (!(*first)->data(0, identifierRole).toString().isEmpty()) {
                selectedIdentifier_ = (*first)->data(0, identifierRole).toString().toStdString();
                break;
            }
        }
    }
    if (!selectedIdentifier_.empty()) {
        selectedRow = itemFor(selectedIdentifier_);
        if (selectedRow != nullptr) {
            view_->setCurrentItem(selectedRow);
        }
    }
    view_->blockSignals(blocked);
    // Tell the window about the drive's newer object and snapshot, or that it went away.
    selectionChanged();
    if (reloadObserver_) {
        reloadObserver_();
    }
}

bool DMSidebarViewController::showsDrives() const {
    for (QTreeWidgetItemIterator row(view_); *row != nullptr; ++row) {
        if (!(*row)->data(0, identifierRole).toString().isEmpty()) {
            return true;
        }
    }
    return false;
}

void DMSidebarViewController::openMenuForCurrentRow() {
    QTreeWidgetItem* row = view_->currentItem();
    if (row == nullptr) {
        return;
    }
    QMenu* menu = rebuildMenu(row);
    if (!menu->isEmpty()) {
        menu->popup(view_->viewport()->mapToGlobal(view_->visualItemRect(row).bottomLeft()));
    }
}

void DMSidebarViewController::selectionChanged() {
    QList<QTreeWidgetItem*> rows = view_->selectedItems();
    QTreeWidgetItem* row = rows.isEmpty() ? nullptr : rows.front();
    const std::string identifier = row != nullptr ? row->data(0, identifierRole).toString().toStdString() : "";
    auto drive = drives_.find(identifier);
    if (identifier.empty() || drive == drives_.end()) {
        // The identifier stays: the drive comes back selected when it shows again.
        const bool hadSelection = selectedItem_ != nullptr;
        selectedItem_ = nullptr;
        if (hadSelection && delegate_ != nullptr) {
            delegate_->sidebarSelectionChanged(nullptr, nullptr);
        }
        return;
    }
    selectedItem_ = drive->second;
    selectedIdentifier_ = identifier;
    if (delegate_ != nullptr) {
        delegate_->sidebarSelectionChanged(selectedItem_, &snapshots_.at(identifier));
    }
}

bool DMSidebarViewController::select(const std::string& identifier) {
    QTreeWidgetItem* row = itemFor(identifier);
    if (row == nullptr) {
        return false;
    }
    view_->setCurrentItem(row);
    return true;
}

const DMDriveSnapshot* DMSidebarViewController::snapshot(const std::string& identifier) const {
    auto found = snapshots_.find(identifier);
    return found == snapshots_.end() ? nullptr : &found->second;
}

QTreeWidgetItem* DMSidebarViewController::itemFor(const std::string& identifier) const {
    if (identifier.empty()) {
        return nullptr;
    }
    QTreeWidgetItemIterator iterator(view_);
    for (; *iterator != nullptr; ++iterator) {
        if ((*iterator)->data(0, identifierRole).toString().toStdString() == identifier) {
            return *iterator;
        }
    }
    return nullptr;
}

QTreeWidgetItem* DMSidebarViewController::sectionItem(const std::string& section) const {
    for (int index = 0; index < view_->topLevelItemCount(); ++index) {
        QTreeWidgetItem* row = view_->topLevelItem(index);
        if (row->data(0, sectionRole).toString().toStdString() == section) {
            return row;
        }
    }
    return nullptr;
}

std::vector<std::string> DMSidebarViewController::displayedRows() const {
    std::vector<std::string> rows;
    QTreeWidgetItemIterator iterator(view_);
    for (; *iterator != nullptr; ++iterator) {
        QString section = (*iterator)->data(0, sectionRole).toString();
        rows.push_back(section.isEmpty() ? (*iterator)->data(0, identifierRole).toString().toStdString()
                                         : "#" + section.toStdString());
    }
    return rows;
}

QMenu* DMSidebarViewController::rebuildMenu(QTreeWidgetItem* row) {
    sidebarMenu_->clear();
    if (row == nullptr) {
        return sidebarMenu_;
    }
    auto actions = driveActionManager_;
    const std::string section = row->data(0, sectionRole).toString().toStdString();
    if (!section.empty()) {
        if (section == DMTr::text(DMTexts::localDriveSection)) {
            QAction* unmountAll = sidebarMenu_->addAction(QString::fromUtf8(DMTr::text(DMTexts::unmountAll)));
            QObject::connect(unmountAll, &QAction::triggered, sidebarMenu_,
                             [actions] { actions->unmountAllExternalDrives(); });
        } else if (section == DMTr::text(DMTexts::networkDriveSection)) {
            QObject::connect(sidebarMenu_->addAction(QString::fromUtf8(DMTr::text(DMTexts::connectAll))), &QAction::triggered,
                             sidebarMenu_, [actions] { actions->performOnAllNetworkDrives(DMDriveAction::mount); });
            QObject::connect(sidebarMenu_->addAction(QString::fromUtf8(DMTr::text(DMTexts::disconnectAll))), &QAction::triggered,
                             sidebarMenu_, [actions] { actions->performOnAllNetworkDrives(DMDriveAction::unmount); });
        }
        return sidebarMenu_;
    }
    const std::string identifier = row->data(0, identifierRole).toString().toStdString();
    auto snapshot = snapshots_.find(identifier);
    auto drive = drives_.find(identifier);
    if (snapshot == snapshots_.end() || drive == drives_.end()) {
        return sidebarMenu_;
    }
    Drive target = drive->second;
    DMDriveRulesContext context;
    context.driverMissing = driverMissing_ && driverMissing_();
    context.offerWhitelist = whiteList_.offers && whiteList_.offers(target);
    context.isActionAvailable = [actions](DMDriveAction action, DMDriveObjectCategory category) {
        return actions->isActionAvailable(action, category);
    };
    auto window = window_;
    const bool network = snapshot->second.isNetwork();
    auto addWhiteList = whiteList_.add;
    for (const DMMenuEntry& entry : DMDriveRules::sidebarMenu(snapshot->second, context)) {
        QAction* item = sidebarMenu_->addAction(QString::fromStdString(entry.title));
        item->setEnabled(entry.enabled);
        // An entry is shown greyed only when the action is not available here yet.
        if (!entry.enabled) {
            item->setToolTip(QString::fromUtf8(DMTr::text(DMShellTexts::notSupportedOnLinux)));
        }
        if (entry.isWhitelist) {
            if (addWhiteList) {
                QObject::connect(item, &QAction::triggered, sidebarMenu_, [addWhiteList, target] { addWhiteList(target); });
            }
            continue;
        }
        const DMDriveAction code = entry.action;
        QObject::connect(item, &QAction::triggered, sidebarMenu_, [actions, target, window, code, network] {
            QWidget* parent = window ? window() : nullptr;
            // A mount or connect that failed says why, as from the action bar.
            actions->perform(code, target, parent,
                             [actions, parent, code, network](int result, std::optional<std::string> reason) {
                                 if (result != 0 && code == DMDriveAction::mount) {
                                     actions->presenter()->present(
                                         mountFailure(network, result, reason.value_or("")), parent, nullptr);
                                 }
                             });
        });
    }
    return sidebarMenu_;
}

}  // namespace harbormind
