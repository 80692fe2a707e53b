#pragma once

#include <cstddef>
#include <string>

#include "platform/FileReadResult.h"

namespace harbormind {

// Small files read and written whole, shared between processes. Nothing here creates folders
// or follows a symbolic link in place of the file: reading one is Unreadable, writing fails.
class FileContents {
public:
    virtual ~FileContents() = default;

    virtual bool exists(const std::string& path) = 0;
    // Reads the whole file; TooLarge (and no bytes) when it holds more than `limit` bytes.
    virtual FileReadResult read(const std::string& path, std::size_t limit) = 0;
    // Creates an empty file when none is there; true when a file exists afterwards.
    virtual bool createEmpty(const std::string& path) = 0;
    // Appends `bytes` to an existing file in one write, so concurrent appenders never interleave
    // inside it. False when the file is missing or cannot be written.
    virtual bool append(const std::string& path, const std::string& bytes) = 0;
    // Replaces the file's contents whole: a temporary file in the same folder, flushed to disk
    // and renamed over the old one, keeping its permissions.
    virtual bool replace(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace harbormind
