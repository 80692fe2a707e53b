#include "cleaning/SizeText.h"

#include <string_view>

#include "cleaning/CleaningTexts.h"

namespace harbormind {

namespace {

// Fills the one "%d" of a size format.
std::string fill(std::string_view format, std::int64_t value) {
    std::string text(format);
    auto at = text.find("%d");
    if (at != std::string::npos) {
        text.replace(at, 2, std::to_string(value));
    }
    return text;
}

}  // namespace

std::string SizeText::format(std::int64_t bytes) {
    constexpr std::int64_t kib = 1024;
    constexpr std::int64_t mib = 1024 * kib;
    constexpr std::int64_t gib = 1024 * mib;
    if (bytes < kib) {
        return fill(CleaningTexts::sizeBytes, bytes);
    }
    if (bytes < mib) {
        return fill(CleaningTexts::sizeKilobytes, bytes / kib);
    }
    if (bytes <= gib) {
        return fill(CleaningTexts::sizeMegabytes, bytes / mib);
    }
    return fill(CleaningTexts::sizeGigabytes, bytes / gib);
}

}  // namespace harbormind
