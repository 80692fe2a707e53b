#pragma once

#include <string>

namespace harbormind {

// One entry of an action bar: the text under the icon and the icon's image name. `action`
// is the dispatcher's action code the entry stands for.
struct DMMacDockViewBaseItem {
    std::string name;
    std::string icon;
    int action = 0;
};

}  // namespace harbormind
