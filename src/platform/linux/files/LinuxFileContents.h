#pragma once

#include "platform/FileContents.h"

namespace harbormind {

// Whole-file reads and writes on the local file system.
class LinuxFileContents final : public FileContents {
public:
    bool exists(const std::string& path) override;
    FileReadResult read(const std::string& path, std::size_t limit) override;
    bool createEmpty(const std::string& path) override;
    bool append(const std::string& path, const std::string& bytes) override;
    bool replace(const std::string& path, const std::string& bytes) override;
};

}  // namespace harbormind
