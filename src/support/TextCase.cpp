#include "support/TextCase.h"

#include <algorithm>
#include <cctype>

namespace harbormind {

std::string TextCase::lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string TextCase::upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool TextCase::containsIgnoringCase(const std::string& haystack, const std::string& needle) {
    return lower(haystack).find(lower(needle)) != std::string::npos;
}

bool TextCase::equalsIgnoringCase(const std::string& a, const std::string& b) {
    return lower(a) == lower(b);
}

}  // namespace harbormind
