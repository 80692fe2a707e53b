#pragma once

#include <string>
#include <vector>

namespace harbormind {

// A program and its arguments, started directly (no shell). Used for the commands that take
// a secret: the secret goes to the program's standard input, never into an argument or a
// shell line, where other users could read it in the process list.
struct ProgramCall {
    std::string program;
    std::vector<std::string> arguments;
};

}  // namespace harbormind
