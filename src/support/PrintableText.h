#pragma once

#include <cstddef>
#include <string>

namespace harbormind {

// Names from outside (volume labels, share names) as a terminal may show them: control
// characters (a line break, an escape sequence) and bytes that are not UTF-8 are written as
// "\xNN", and a backslash as "\\", so a name can neither forge lines nor drive the terminal.
class PrintableText {
public:
    static std::string escaped(const std::string& text);
    // The columns a UTF-8 text takes in a terminal: wide East Asian letters count two,
    // combining marks none, every other character one.
    static std::size_t displayWidth(const std::string& text);
};

}  // namespace harbormind
