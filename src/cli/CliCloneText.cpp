#include "cli/CliCloneText.h"

#include <algorithm>
#include <cstdio>

#include "cli/CliEnglish.h"
#include "drivemodel/DMCloneTexts.h"
#include "support/DMByteCountFormatter.h"

namespace harbormind {
namespace {

std::string durationText(double seconds) {
    auto whole = static_cast<long long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

}  // namespace

std::string CliCloneText::bytes(double count) {
    return DMByteCountFormatter::string(static_cast<std::int64_t>(count));
}

std::string CliCloneText::progressLine(std::uint64_t current, std::uint64_t total, std::uint64_t startedAt,
                                       double elapsedSeconds) {
    const int width = 30;
    double fraction = total ? static_cast<double>(current) / static_cast<double>(total) : 0;
    int filled = std::clamp(static_cast<int>(fraction * width), 0, width);
    std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(width - filled), '.') + "] ";
    double copied = static_cast<double>(current - std::min(current, startedAt));
    double rate = elapsedSeconds > 0 ? copied / elapsedSeconds : 0;
    std::string left =
        rate > 0 ? durationText(static_cast<double>(total - std::min(total, current)) / rate) + " left" : "";
    return bar + bytes(static_cast<double>(current)) + " / " + bytes(static_cast<double>(total)) + "  " +
           bytes(rate) + "/s  " + left;
}

std::string CliCloneText::refusal(std::int64_t code, const std::string& reason) {
    std::string text;
    switch (code) {
        case 1: text = DMCloneTexts::openSourceFailed; break;
        case 2: text = DMCloneTexts::openDestinationFailed; break;
        case 3: text = DMCloneTexts::sectorSizeMismatch; break;
        case 4: text = DMCloneTexts::notEnoughSpace; break;
        default: return reason;
    }
    text = CliEnglish::of(text);
    text.erase(0, text.find_first_not_of(' '));
    return reason.empty() ? text : text + " (" + reason + ")";
}

}  // namespace harbormind
