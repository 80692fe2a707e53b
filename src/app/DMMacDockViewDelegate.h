#pragma once

#include "app/DMMacDockViewBaseItem.h"

namespace harbormind {

// Answers for an action bar: which items are disabled, and what a click does.
class DMMacDockViewDelegate {
public:
    virtual ~DMMacDockViewDelegate() = default;
    virtual bool isItemDisabled(const DMMacDockViewBaseItem& item) = 0;
    virtual void itemClicked(const DMMacDockViewBaseItem& item) = 0;
};

}  // namespace harbormind
