#pragma once

#include <QWidget>
#include <vector>

#include "app/widgets/DMCapacityMapSplittedItem.h"

namespace harbormind {

class DMCapacityMapView;

// A whole disk's capacity: one capacity map per partition, side by side, each as wide as
// the partition's share of the disk (with a floor so that small partitions stay legible).
class DMCapacityMapSplitterView : public QWidget {
public:
    explicit DMCapacityMapSplitterView(QWidget* parent = nullptr);

    void setItems(const std::vector<DMCapacityMapSplittedItem>& items, std::int64_t diskCapacity);
    const std::vector<DMCapacityMapView*>& maps() const { return maps_; }
    // The stretch factor each map received, in per-mille of the disk.
    const std::vector<int>& shares() const { return shares_; }

private:
    std::vector<DMCapacityMapView*> maps_;
    std::vector<int> shares_;
};

}  // namespace harbormind
