#pragma once

#include <optional>
#include <string>

namespace harbormind {

// The recovery key as the user keeps it: a small text file, or the same text printed.
class BLRecoveryKeyFile {
public:
    // A missing value is written as an empty string.
    static std::string text(const std::optional<std::string>& guid, const std::optional<std::string>& recoveryKey);
    // The name the save panel proposes.
    static std::string proposedName(const std::optional<std::string>& guid);
    // Writes the text whole (a temporary file renamed into place), readable by the owner
    // only: it unlocks the drive. False when it could not be written.
    static bool write(const std::string& path, const std::string& text);
};

}  // namespace harbormind
