#pragma once

#include "app/cleaning/CDMaskView.h"

namespace harbormind {

// The progress window of the junk window.
class CDJunkMaskWindowController : public CDMaskView {
public:
    using CDMaskView::CDMaskView;
};

}  // namespace harbormind
