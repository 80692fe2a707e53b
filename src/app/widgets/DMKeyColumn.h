#pragma once

#include <QPointer>

#include <vector>

namespace harbormind {

class DMKeyValueView;

// The key column of a group of key-value rows (a detail view's facts, the drive's health under
// them): every key as wide as the widest, so no key is cut and the values stand in one line.
class DMKeyColumn {
public:
    // The row joins the column; a wider key widens every row's. Rows that are gone leave it.
    void add(DMKeyValueView* row);
    int width() const { return width_; }

private:
    std::vector<QPointer<DMKeyValueView>> rows_;
    int width_ = 0;
};

}  // namespace harbormind
