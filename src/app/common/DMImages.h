#pragma once

#include <QIcon>
#include <string>

namespace harbormind {

// The application's named images. Each name is one of our own drawings among the resources;
// a name without a drawing falls back to the desktop's icon theme, then to "partition".
class DMImages {
public:
    static QIcon icon(const std::string& name);
    // True when the resources hold a drawing of that name.
    static bool has(const std::string& name);
};

}  // namespace harbormind
