#pragma once

#include <string>

namespace harbormind {

// The words a person reads for a text the command line shares with the window. The shared
// tables keep the system's own texts, keys and old misspellings included; the window's English
// catalogue says what each should read, and the command line, which runs without the window's
// libraries, carries the same corrections compiled in.
class CliEnglish {
public:
    // The catalogue's English for `text`, or `text` itself when the catalogue leaves it as it is.
    static std::string of(const std::string& text);
};

}  // namespace harbormind
