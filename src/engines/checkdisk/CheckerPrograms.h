#pragma once

#include <map>
#include <optional>
#include <string>

#include "engines/checkdisk/CheckerFamily.h"

namespace harbormind {

// Where each checker program lives. The daemon looks only in the system's own program
// folders, never in a caller's PATH; tests put a program of their own in a family's place.
class CheckerPrograms {
public:
    // The installed checkers, found in /usr/sbin, /usr/bin, /sbin and /bin.
    static CheckerPrograms installed();

    void setProgram(CheckerFamily family, std::string path);
    // The absolute path of the family's checker, or none when it is not installed.
    std::optional<std::string> program(CheckerFamily family) const;

private:
    std::map<CheckerFamily, std::string> overrides_;
};

}  // namespace harbormind
