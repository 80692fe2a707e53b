#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "usbblocker/Drive.h"
#include "usbblocker/USBListKind.h"
#include "usbblocker/USBLists.h"

namespace harbormind {

// The lists file: UTF-8 text, one entry per line, "name:size__white" or "name:size__black",
// each line ended by a line feed.
class USBListsFormat {
public:
    static constexpr std::string_view whiteMarker = "__white";
    static constexpr std::string_view blackMarker = "__black";
    // Characters dropped from the end of every line: the length of either marker.
    static constexpr std::size_t markerLength = 7;

    // Reads whatever bytes the file holds. Text that is not valid UTF-8 gives empty lists.
    // A line that keeps fewer than two colon-separated pieces after its marker is cut off is
    // skipped: the system never writes one, and a malformed line must not grant a disk anything.
    static USBLists parse(std::string_view bytes);

    // The line that stands for `drive` on the list, line feed included.
    static std::string line(const Drive& drive, USBListKind kind);

    // True when `name` reads back as itself: valid UTF-8 without a line feed, a colon or the
    // white marker. Any of those would make the line read back as another name or list, or
    // (invalid UTF-8) empty both lists at the next read.
    static bool canStore(std::string_view name);

    // `text` without its last `count` user-perceived characters. Combining marks, joiners,
    // variation selectors, emoji modifiers and tags stay with the character before them, and a
    // pair of regional indicators counts once. `text` must be valid UTF-8.
    static std::string_view dropLastCharacters(std::string_view text, std::size_t count);
    // A base-10 integer: an optional "+" or "-" and digits only, within 64 bits.
    static std::optional<std::int64_t> parseInteger(std::string_view text);
};

}  // namespace harbormind
