#include "support/DMByteCountFormatter.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace harbormind {

std::string DMByteCountFormatter::string(std::int64_t bytes) {
    const bool negative = bytes < 0;
    // The magnitude as a double: exact enough for display, and safe for the smallest value.
    const double magnitude = std::fabs(static_cast<double>(bytes));
    const std::string sign = negative ? "-" : "";
    if (magnitude < 1000) {
        return sign + std::to_string(static_cast<long long>(magnitude)) + (magnitude == 1 ? " byte" : " bytes");
    }
    static constexpr std::array<const char*, 6> units{"KB", "MB", "GB", "TB", "PB", "EB"};
    static constexpr std::array<int, 6> decimals{0, 1, 2, 2, 2, 2};
    double value = magnitude / 1000;
    std::size_t unit = 0;
    while (unit + 1 < units.size()) {
        // Round first so that 999.96 MB shows as 1 GB rather than 1000 MB.
        const double scale = std::pow(10.0, decimals[unit]);
        if (std::round(value * scale) / scale < 1000) {
            break;
        }
        value /= 1000;
        ++unit;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals[unit], value);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return sign + text + " " + units[unit];
}

}  // namespace harbormind
