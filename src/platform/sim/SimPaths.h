#pragma once

#include <string>

namespace harbormind {

// Paths of the simulated machine's files.
class SimPaths {
public:
    // The folder a path is in: "." for a bare name, "/" for a name at the root.
    static std::string folderOf(const std::string& path);
};

}  // namespace harbormind
