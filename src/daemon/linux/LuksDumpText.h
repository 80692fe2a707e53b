#pragma once

#include <string>

namespace harbormind {

// What the daemon reads from `cryptsetup luksDump`.
class LuksDumpText {
public:
    // The header records a reencryption that has not finished.
    static bool needsResume(const std::string& dump);
    // A segment is still flagged as being reencrypted: cryptsetup died in the middle of a
    // step (a power cut, a kill), and the step must be recovered before the work resumes.
    static bool needsRecovery(const std::string& dump);
    // How many key slots the header holds.
    static int keySlots(const std::string& dump);
};

}  // namespace harbormind
