#pragma once

#include <initializer_list>
#include <string>

namespace harbormind {

// Fills the "%s" places of a First Aid text, in order.
class CheckDiskTextFormat {
public:
    static std::string format(const char* text, std::initializer_list<std::string> values);
};

}  // namespace harbormind
