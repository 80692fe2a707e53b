#pragma once

#include <string_view>

namespace harbormind {

// Shell-style patterns for choosing entries of a scanned folder: "*" matches within one path
// part, "**" across parts, "?" one character, "[abc]" and "[!abc]" one of a set. A pattern
// without "/" is matched against the entry's name, one with "/" against its path relative to
// the scanned folder.
class PathGlob {
public:
    static bool matches(std::string_view pattern, std::string_view text);
    static bool matchesEntry(std::string_view pattern, std::string_view name, std::string_view relativePath);
};

}  // namespace harbormind
