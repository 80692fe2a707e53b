#include "app/widgets/DMCapacityMapSplitterView.h"

#include <QHBoxLayout>
#include <algorithm>

#include "app/widgets/DMCapacityMapView.h"

namespace harbormind {

DMCapacityMapSplitterView::DMCapacityMapSplitterView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
}

void DMCapacityMapSplitterView::setItems(const std::vector<DMCapacityMapSplittedItem>& items,
                                         std::int64_t diskCapacity) {
    for (DMCapacityMapView* map : maps_) {
        map->deleteLater();
    }
    maps_.clear();
    shares_.clear();
    auto* layout = static_cast<QHBoxLayout*>(this->layout());
    for (const DMCapacityMapSplittedItem& item : items) {
        auto* map = new DMCapacityMapView(this);
        map->setTitle(item.title);
        map->setSubtitle(item.subtitle);
        map->setAvailable(item.used.has_value() && item.size > 0);
        if (item.used && item.size > 0) {
            map->setUsedShare(static_cast<double>(*item.used) / static_cast<double>(item.size));
        }
        map->setMinimumWidth(70);
        double share = diskCapacity > 0 ? static_cast<double>(item.size) / static_cast<double>(diskCapacity) : 0;
        int stretch = std::max(1, static_cast<int>(share * 1000));
        layout->addWidget(map, stretch);
        maps_.push_back(map);
        shares_.push_back(stretch);
    }
}

}  // namespace harbormind
