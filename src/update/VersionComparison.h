#pragma once

#include <string>

namespace harbormind {

// Compares version texts the way people read them: runs of digits compare as numbers (so
// "3.10" is higher than "3.9"), every other character as itself.
class VersionComparison {
public:
    // Negative when `a` is lower than `b`, zero when equal, positive when higher.
    static int compare(const std::string& a, const std::string& b);
};

}  // namespace harbormind
