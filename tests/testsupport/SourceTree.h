#pragma once

#include <string>

namespace harbormind::test {

// Files of the source tree the tests were built from, such as the simulated machines'
// scenarios. A test binary finds them wherever and however it is started; the variable
// HARBORMIND_SOURCE_DIR names another tree where one was moved.
class SourceTree {
public:
    static std::string path(const std::string& relative);
    static std::string scenario(const std::string& name) { return path("tests/scenarios/" + name); }
};

}  // namespace harbormind::test
