#pragma once

#include <string>

namespace harbormind {

// Hands a detached header to the user: written whole and readable by the owner only, then
// read back and checked (the same bytes, a LUKS2 header; for a finished job at least the
// password's and the recovery key's key slots and no unfinished work) before the user is
// told it is kept.
class BLHeaderHandover {
public:
    // What the header must hold: a finished job's, or any usable one (an export, which may
    // be of a volume whose encryption is still unfinished).
    enum class Expect { finishedJob, anyHeader };

    struct Result {
        bool saved = false;
        // Why it was not saved, as the user reads it.
        std::string failure;
    };

    static Result write(const std::string& path, const std::string& header, Expect expect = Expect::finishedJob);
};

}  // namespace harbormind
