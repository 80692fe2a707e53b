#pragma once

#include <string>

namespace harbormind {

// Every value placed in a shell command line goes through here, so that a quote, `$(...)`,
// a backslash or a newline in a password or a name stays part of the value.
class ShellQuote {
public:
    // The value as one shell word: single-quoted, each single quote written as '\''.
    static std::string quote(const std::string& value);
};

}  // namespace harbormind
