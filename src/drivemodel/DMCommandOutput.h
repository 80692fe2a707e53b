#pragma once

#include <optional>
#include <string>

namespace harbormind {

// What a shell command line printed: its standard output, and its standard error when
// that is not empty. Callers judge success from these texts alone.
struct DMCommandOutput {
    std::string standardOutput;
    std::optional<std::string> standardError;
};

}  // namespace harbormind
