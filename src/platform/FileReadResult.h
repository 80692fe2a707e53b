#pragma once

#include <string>

#include "platform/FileReadStatus.h"

namespace harbormind {

// The bytes of a file read whole, or why they could not be had.
struct FileReadResult {
    FileReadStatus status = FileReadStatus::Missing;
    std::string bytes;
};

}  // namespace harbormind
