#include "app/widgets/DMKeyColumn.h"

#include <algorithm>

#include "app/widgets/DMKeyValueView.h"

namespace harbormind {

void DMKeyColumn::add(DMKeyValueView* row) {
    std::erase_if(rows_, [](const QPointer<DMKeyValueView>& kept) { return kept.isNull(); });
    rows_.emplace_back(row);
    const int wanted = std::max(width_, row->keyWidthHint());
    if (wanted == width_) {
        row->setKeyWidth(width_);
        return;
    }
    width_ = wanted;
    for (const auto& kept : rows_) {
        kept->setKeyWidth(width_);
    }
}

}  // namespace harbormind
