#pragma once

#include <string>

namespace harbormind {

// A recovery key for a second key slot: eight groups of six random digits, separated by
// dashes (about 159 bits), easy to read out and to type.
class LuksRecoveryKey {
public:
    // Empty when the system's random source fails.
    static std::string generate();
};

}  // namespace harbormind
