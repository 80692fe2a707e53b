#pragma once

#include <QPalette>

namespace harbormind {

// A dark desktop theme's colours, for drawing the window as a dark desktop would
// (Preferences → Appearance, the desktop's dark scheme, or `harbormind --palette dark`).
class DMDarkPalette {
public:
    static QPalette make();
};

}  // namespace harbormind
