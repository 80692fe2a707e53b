#pragma once

#include "app/details/DMBaseViewController.h"

class QPushButton;

namespace harbormind {

class DMCapacityMapView;

// The detail view of a partition, container or volume (a whole disk without a partition table too).
class DMLocalPartitionViewController : public DMBaseViewController {
public:
    explicit DMLocalPartitionViewController(DMDetailContext context, QWidget* parent = nullptr);

    DMCapacityMapView* capacityMap() const { return capacityMap_; }
    bool isTipVisible() const;

protected:
    void apply(const DMDriveSnapshot& snapshot) override;
    bool itemRule(const DMMacDockViewBaseItem& item) override;
    std::string itemRuleReason(const DMMacDockViewBaseItem& item) override;
    void actionFinished(std::uint8_t action, int code) override;

private:
    DMCapacityMapView* capacityMap_;
    QWidget* tipRow_;
    QPushButton* btnInstall_;
    // The drive is a whole disk formatted without a partition table: Eject and Clone join the bar.
    bool wholeDiskVolume_ = false;
};

}  // namespace harbormind
