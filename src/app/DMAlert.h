#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// An alert or sheet as the user sees it: a title, an explanatory text and the buttons from
// left to right in reading order (the first is the default).
struct DMAlert {
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
    // The button Escape chooses; the last one when not given.
    std::optional<std::size_t> escapeButton = std::nullopt;
    // Shown under the text in smaller words: the system's own reason for a failure.
    std::string informativeText = {};
};

}  // namespace harbormind
