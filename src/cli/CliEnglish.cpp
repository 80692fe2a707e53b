#include "cli/CliEnglish.h"

#include <string_view>
#include <unordered_map>

namespace harbormind {

std::string CliEnglish::of(const std::string& text) {
    static const std::unordered_map<std::string_view, std::string_view> corrections = {
#include "EnglishCorrections.inc"
    };
    auto found = corrections.find(text);
    return found == corrections.end() ? text : std::string(found->second);
}

}  // namespace harbormind
