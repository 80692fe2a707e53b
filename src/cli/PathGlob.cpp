#include "cli/PathGlob.h"

namespace harbormind {
namespace {

// Matches one bracket set at the start of `pattern` against `c`; `length` receives the set's
// length in the pattern (0 when the bracket is not closed, so it is taken literally).
bool matchSet(std::string_view pattern, char c, std::size_t& length) {
    std::size_t i = 1;
    bool negate = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
    if (negate) {
        ++i;
    }
    bool found = false;
    bool first = true;
    for (; i < pattern.size() && (first || pattern[i] != ']'); ++i, first = false) {
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            found = found || (c >= pattern[i] && c <= pattern[i + 2]);
            i += 2;
        } else {
            found = found || c == pattern[i];
        }
    }
    if (i >= pattern.size()) {
        length = 0;
        return false;
    }
    length = i + 1;
    return found != negate;
}

}  // namespace

bool PathGlob::matches(std::string_view pattern, std::string_view text) {
    if (pattern.empty()) {
        return text.empty();
    }
    if (pattern.starts_with("**")) {
        std::string_view rest = pattern.substr(2);
        if (rest.starts_with('/')) {
            // "**/" also matches no folder at all.
            if (matches(rest.substr(1), text)) {
                return true;
            }
        }
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (matches(rest, text.substr(i))) {
                return true;
            }
        }
        return false;
    }
    if (pattern.front() == '*') {
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (matches(pattern.substr(1), text.substr(i))) {
                return true;
            }
            if (i < text.size() && text[i] == '/') {
                break;
            }
        }
        return false;
    }
    if (text.empty()) {
        return false;
    }
    if (pattern.front() == '[') {
        std::size_t length = 0;
        bool inSet = matchSet(pattern, text.front(), length);
        if (length > 0) {
            return inSet && text.front() != '/' && matches(pattern.substr(length), text.substr(1));
        }
    }
    if (pattern.front() == '?') {
        return text.front() != '/' && matches(pattern.substr(1), text.substr(1));
    }
    return pattern.front() == text.front() && matches(pattern.substr(1), text.substr(1));
}

bool PathGlob::matchesEntry(std::string_view pattern, std::string_view name, std::string_view relativePath) {
    return pattern.find('/') == std::string_view::npos ? matches(pattern, name) : matches(pattern, relativePath);
}

}  // namespace harbormind
