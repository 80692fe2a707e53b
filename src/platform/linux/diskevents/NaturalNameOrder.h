#pragma once

#include <string>

namespace harbormind {

// The order people read device names in: "loop2" before "loop10", since runs of digits compare
// by value.
class NaturalNameOrder {
public:
    static bool less(const std::string& a, const std::string& b);
};

}  // namespace harbormind
