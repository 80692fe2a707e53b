#pragma once

#include <string>

#include "app/widgets/DMMacDockViewBaseItem.h"

namespace harbormind {

// Answers for an action bar: which items are disabled, and what a click does.
class DMMacDockViewDelegate {
public:
    virtual ~DMMacDockViewDelegate() = default;
    virtual bool isItemDisabled(const DMMacDockViewBaseItem& item) = 0;
    virtual void itemClicked(const DMMacDockViewBaseItem& item) = 0;
    // Why a disabled item is disabled, in a few words for its tooltip.
    virtual std::string disabledReason(const DMMacDockViewBaseItem& /*item*/) { return {}; }
};

}  // namespace harbormind
