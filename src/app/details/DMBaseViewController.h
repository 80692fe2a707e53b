#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/drives/DMDriveRules.h"
#include "app/drives/DMDriveSnapshot.h"
#include "app/widgets/DMMacDockViewDelegate.h"

class QLabel;
class QProgressBar;
class QVBoxLayout;

namespace harbormind {

class DMDriveActionManager;
class DMDriveObjectProtocol;
class DMKeyColumn;
class DMKeyValueView;
class DMMacDockView;

// What every detail view needs from the window around it.
struct DMDetailContext {
    std::shared_ptr<DMDriveActionManager> actions;
    // The main window, for sheets.
    std::function<QWidget*()> window;
    // Whether the NTFS and BitLocker driver is missing, asked when a view refreshes.
    std::function<bool()> driverMissing;
    // Installs the driver the way a drive view offers it; `done` runs on the main queue.
    std::function<void(std::function<void()> done)> installDriver;
};

// The right-hand pane for one drive: a title with the drive's icon and name, a capacity map,
// a column of facts and an action bar. `obj` is the drive shown; `refresh` reads it again
// (away from the user-interface thread) and redraws.
class DMBaseViewController : public QWidget, public DMMacDockViewDelegate {
public:
    DMBaseViewController(DMDetailContext context, QWidget* parent = nullptr);

    const std::shared_ptr<DMDriveObjectProtocol>& obj() const { return obj_; }
    void setObj(std::shared_ptr<DMDriveObjectProtocol> obj);
    void refresh();
    // Shows a snapshot read elsewhere (the sidebar already has one) and refreshes afterwards.
    void show(const DMDriveSnapshot& snapshot);

    const DMDriveSnapshot& snapshot() const { return snapshot_; }
    DMMacDockView* actionBar() const { return actionBar_; }
    // The facts in display order, separators left out: (key, value).
    std::vector<std::pair<std::string, std::string>> facts() const;
    std::string title() const;

    bool isItemDisabled(const DMMacDockViewBaseItem& item) override;
    std::string disabledReason(const DMMacDockViewBaseItem& item) override;
    void itemClicked(const DMMacDockViewBaseItem& item) override;

protected:
    // Builds the facts column; an empty key stands for a separator.
    void setFactKeys(const std::vector<std::string>& keys);
    void setFact(const std::string& key, const std::string& value);
    virtual void apply(const DMDriveSnapshot& snapshot) = 0;
    virtual bool itemRule(const DMMacDockViewBaseItem& item) = 0;
    // Why the item's rule does not hold, for its tooltip; empty when it holds.
    virtual std::string itemRuleReason(const DMMacDockViewBaseItem& /*item*/) { return {}; }
    // The result of an action started from the action bar.
    virtual void actionFinished(DMDriveAction action, int code);
    // The system's reason for the failure just reported to actionFinished, when it gave one.
    const std::string& lastFailureReason() const { return lastFailureReason_; }

    DMDriveRulesContext rulesContext() const;
    QWidget* sheetWindow() const;
    void showSpinner(bool spinning);

    QVBoxLayout* contentLayout_;
    QWidget* capacityArea_;
    // The facts' key column, which rows further down the view may join.
    std::shared_ptr<DMKeyColumn> keyColumn_;
    DMMacDockView* actionBar_;
    DMDetailContext context_;
    bool driverMissing_ = false;

private:
    void applySnapshot(const DMDriveSnapshot& snapshot);

    std::shared_ptr<DMDriveObjectProtocol> obj_;
    DMDriveSnapshot snapshot_;
    QLabel* ivIcon_;
    QLabel* lbTitle_;
    QProgressBar* piActivity_;
    QWidget* factsArea_;
    std::vector<DMKeyValueView*> factViews_;
    std::uint64_t generation_ = 0;
    std::string lastFailureReason_;
};

}  // namespace harbormind
