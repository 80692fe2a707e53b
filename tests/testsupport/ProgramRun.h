#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace harbormind::test {

// What a program a test ran to its end left: its exit status (-1 when it did not end in
// time), its standard output and what its standard error file holds afterwards.
struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `argv` to its end. Standard error goes to `errFile` (appended) and is read back into
// `err`; with no `errFile` it stays the test's own.
Outcome runProgram(const std::vector<std::string>& argv,
                   const std::map<std::string, std::string>& environment = {},
                   const std::string& errFile = {},
                   std::chrono::milliseconds limit = std::chrono::seconds(120));

}  // namespace harbormind::test
