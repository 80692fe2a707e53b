#pragma once

#include <QPalette>

namespace harbormind {

// A dark desktop theme's colours, for drawing the window as a dark desktop would
// (`harbormind --palette dark`, used for the pictures in docs/screenshots).
class DMDarkPalette {
public:
    static QPalette make();
};

}  // namespace harbormind
