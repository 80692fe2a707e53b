#include "engines/checkdisk/CheckDiskTextFormat.h"

namespace harbormind {

std::string CheckDiskTextFormat::format(const char* text, std::initializer_list<std::string> values) {
    std::string result = text;
    std::size_t from = 0;
    for (const std::string& value : values) {
        std::size_t place = result.find("%s", from);
        if (place == std::string::npos) {
            break;
        }
        result.replace(place, 2, value);
        from = place + value.size();
    }
    return result;
}

}  // namespace harbormind
