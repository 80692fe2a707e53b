#pragma once

#include <string>

namespace harbormind {

// Letter-case helpers. lower() and upper() change ASCII letters only (device names, keys,
// file-system kinds); fold() and the comparisons fold the case of every Unicode letter, so
// "müller" matches "FOTOS MÜLLER" and "STRASSE" matches "straße".
class TextCase {
public:
    static std::string lower(std::string text);
    static std::string upper(std::string text);
    // Unicode full case folding of UTF-8 text; bytes that are not UTF-8 fold as ASCII.
    static std::string fold(const std::string& text);
    static bool containsIgnoringCase(const std::string& haystack, const std::string& needle);
    static bool equalsIgnoringCase(const std::string& a, const std::string& b);
};

}  // namespace harbormind
