#pragma once

#include "app/details/DMBaseViewController.h"

namespace harbormind {

class DMCapacityMapSplitterView;
class DMDriveHealthView;

// The detail view of a whole disk.
class DMLocalDriveViewController : public DMBaseViewController {
public:
    explicit DMLocalDriveViewController(DMDetailContext context, QWidget* parent = nullptr);

    DMCapacityMapSplitterView* capacityMaps() const { return capacityMaps_; }
    DMDriveHealthView* healthView() const { return healthView_; }

protected:
    void apply(const DMDriveSnapshot& snapshot) override;
    bool itemRule(const DMMacDockViewBaseItem& item) override;
    std::string itemRuleReason(const DMMacDockViewBaseItem& item) override;

private:
    DMCapacityMapSplitterView* capacityMaps_;
    DMDriveHealthView* healthView_;
};

}  // namespace harbormind
