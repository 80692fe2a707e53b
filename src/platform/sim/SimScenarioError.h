#pragma once

#include <stdexcept>
#include <string>

namespace harbormind {

// A problem in a scenario file, with the place it was found ("disks[2].description").
class SimScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    [[noreturn]] static void fail(const std::string& where, const std::string& what) {
        throw SimScenarioError(where + ": " + what);
    }
};

}  // namespace harbormind
