#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace harbormind {

// One progress line of `cryptsetup reencrypt --progress-json`:
// {"device":"/dev/loop3","device_bytes":"263782400","device_size":"1073741824",...}
struct LuksProgressLine {
    std::uint64_t done = 0;
    std::uint64_t total = 0;

    // Nothing for a line that is not such a report, or whose numbers do not make sense.
    static std::optional<LuksProgressLine> parse(std::string_view line);
};

}  // namespace harbormind
