#pragma once

#include <functional>

namespace harbormind {

// Checks a condition up to `checks` times, one second apart on the clock: the first check
// at once, each further one a second after the one before. True as soon as it holds; false
// when it never did (the caller has then waited `checks` seconds).
class DMRepeatedCheck {
public:
    static bool until(int checks, const std::function<bool()>& condition);
};

}  // namespace harbormind
