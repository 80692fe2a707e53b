#pragma once

#include <cstddef>

#include "platform/FileReadResult.h"

namespace harbormind {

// Reads an open file to its end, retrying interruptions. Past `limit` bytes it stops with
// TooLarge, so a file that grows while it is read cannot take all memory; a read error gives
// Unreadable. The descriptor stays open: the caller owns it.
class WholeFileReader {
public:
    static FileReadResult readAll(int fd, std::size_t limit);
};

}  // namespace harbormind
