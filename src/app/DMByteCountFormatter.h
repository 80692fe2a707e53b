#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// Sizes as a file browser shows them: decimal units (1 KB = 1,000 bytes), whole kilobytes,
// one decimal for megabytes and two from gigabytes up, without trailing zeros.
class DMByteCountFormatter {
public:
    static std::string string(std::int64_t bytes);
};

}  // namespace harbormind
