#pragma once

#include <string>

namespace harbormind {

// Hands a finished job's detached header to the user: written whole and readable by the
// owner only, then read back and checked (the same bytes, a LUKS2 header with at least the
// password's and the recovery key's key slots and no unfinished work) before the user is
// told it is kept.
class BLHeaderHandover {
public:
    struct Result {
        bool saved = false;
        // Why it was not saved, as the user reads it.
        std::string failure;
    };

    static Result write(const std::string& path, const std::string& header);
};

}  // namespace harbormind
