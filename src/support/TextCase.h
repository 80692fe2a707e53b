#pragma once

#include <string>

namespace harbormind {

// Letter-case helpers for ASCII text (device names, keys, file-system kinds).
class TextCase {
public:
    static std::string lower(std::string text);
    static std::string upper(std::string text);
    static bool containsIgnoringCase(const std::string& haystack, const std::string& needle);
    static bool equalsIgnoringCase(const std::string& a, const std::string& b);
};

}  // namespace harbormind
