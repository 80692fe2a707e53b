#pragma once

#include <optional>
#include <string>

namespace harbormind {

// Reads a secret from standard input. From a terminal it shows `prompt` on standard error
// and reads one line without echo; from a pipe or file it reads everything, less one
// trailing line break, so a password may hold any character.
class LinuxTerminalSecret {
public:
    static std::optional<std::string> read(const std::string& prompt);
    // Standard input is a terminal (a secret is typed, not piped).
    static bool fromTerminal();
};

}  // namespace harbormind
