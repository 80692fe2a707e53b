#include "daemon/linux/LuksProgressLine.h"

#include <string>

namespace harbormind {
namespace {

// The decimal value of `"key":"digits"`; nothing when absent, empty or too large.
std::optional<std::uint64_t> field(std::string_view line, std::string_view key) {
    std::string quoted = "\"" + std::string(key) + "\":\"";
    std::size_t at = line.find(quoted);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    std::size_t i = at + quoted.size();
    std::size_t digits = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i, ++digits) {
        if (value > (UINT64_MAX - 9) / 10) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(line[i] - '0');
    }
    if (digits == 0 || i >= line.size() || line[i] != '"') {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<LuksProgressLine> LuksProgressLine::parse(std::string_view line) {
    auto done = field(line, "device_bytes");
    auto total = field(line, "device_size");
    if (!done || !total || *done > *total || *total > static_cast<std::uint64_t>(INT64_MAX)) {
        return std::nullopt;
    }
    return LuksProgressLine{*done, *total};
}

}  // namespace harbormind
