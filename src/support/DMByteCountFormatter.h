#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// Sizes as the window and the command line's text output show them: decimal units
// (1 KB = 1,000 bytes), whole kilobytes, one decimal for megabytes and two from gigabytes
// up, without trailing zeros. JSON output gives exact bytes instead.
class DMByteCountFormatter {
public:
    static std::string string(std::int64_t bytes);
};

}  // namespace harbormind
