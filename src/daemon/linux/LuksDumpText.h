#pragma once

#include <string>

namespace harbormind {

// What the daemon reads from `cryptsetup luksDump`.
class LuksDumpText {
public:
    // The header records a reencryption that has not finished.
    static bool needsResume(const std::string& dump);
    // How many key slots the header holds.
    static int keySlots(const std::string& dump);
};

}  // namespace harbormind
