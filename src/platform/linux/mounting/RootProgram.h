#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// The system's tools the mount verbs run as root (a FUSE driver, cryptsetup): found in the
// system's own folders only, and run with a fixed environment, never the caller's.
class RootProgram {
public:
    static std::optional<std::string> find(const std::string& name);
    // Runs `path` with `arguments` and `input`, when given, on its standard input. Its standard
    // output goes to our standard error: our own standard output is kept for the line that
    // says what was done. Its exit status; -1 when it did not start or did not exit.
    static int run(const std::string& path, const std::vector<std::string>& arguments,
                   const std::optional<std::string>& input = std::nullopt);
};

}  // namespace harbormind
