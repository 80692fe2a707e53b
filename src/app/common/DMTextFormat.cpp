#include "app/common/DMTextFormat.h"

namespace harbormind {
namespace {

std::string replaceAll(const std::string& format, const std::string& placeholder, const std::string& value) {
    std::string result;
    std::size_t start = 0;
    for (;;) {
        std::size_t found = format.find(placeholder, start);
        if (found == std::string::npos) {
            result.append(format, start, std::string::npos);
            return result;
        }
        result.append(format, start, found - start);
        result += value;
        start = found + placeholder.size();
    }
}

}  // namespace

std::string DMTextFormat::withText(const std::string& format, const std::string& value) {
    return replaceAll(format, "%@", value);
}

std::string DMTextFormat::withInteger(const std::string& format, long long value) {
    return replaceAll(format, "%d", std::to_string(value));
}

std::string DMTextFormat::withTexts(const std::string& format, const std::vector<std::string>& values) {
    std::string result;
    std::size_t start = 0;
    for (const std::string& value : values) {
        std::size_t found = format.find("%@", start);
        if (found == std::string::npos) {
            break;
        }
        result.append(format, start, found - start);
        result += value;
        start = found + 2;
    }
    result.append(format, start, std::string::npos);
    return result;
}

}  // namespace harbormind
