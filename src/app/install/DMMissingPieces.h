#pragma once

#include <optional>
#include <string>

namespace harbormind {

// What this computer still lacks for every drive to work: the read-write NTFS driver, and
// the helper service (with the reason it could not be reached).
struct DMMissingPieces {
    bool ntfsDriver = false;
    std::optional<std::string> helperService;

    bool any() const { return ntfsDriver || helperService.has_value(); }
};

}  // namespace harbormind
