#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// An alert or sheet as the user sees it: its message (`title`, the main text; the window's own
// title is the application's name, never the message), an explanatory text and the buttons
// from left to right in reading order.
struct DMAlert {
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
    // The button Escape chooses; the last one when not given.
    std::optional<std::size_t> escapeButton = std::nullopt;
    // Shown under the text in smaller words: the system's own reason for a failure.
    std::string informativeText = {};
    // The button Return chooses; the first one when not given. A question whose first answer
    // loses something makes the safe answer the default.
    std::optional<std::size_t> defaultButton = std::nullopt;
};

}  // namespace harbormind
