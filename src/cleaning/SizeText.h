#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// A byte count as the cleaning windows show it: "512 Byte", "3 Kb", "1024 M", "2 G"
// (whole units, truncated; exactly 1 GiB still reads in M).
class SizeText {
public:
    static std::string format(std::int64_t bytes);
};

}  // namespace harbormind
