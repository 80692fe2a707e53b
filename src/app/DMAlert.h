#pragma once

#include <string>
#include <vector>

namespace harbormind {

// An alert or sheet as the user sees it: a title, an explanatory text and the buttons from
// left to right in reading order (the first is the default).
struct DMAlert {
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
};

}  // namespace harbormind
