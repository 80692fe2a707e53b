#pragma once

#include "platform/FileStore.h"

namespace harbormind {

// The user's files on disk, written whole with WholeFileWriter.
class LinuxFileStore final : public FileStore {
public:
    std::optional<Bytes> read(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool write(const std::string& path, const Bytes& contents, Privacy privacy) override;
    std::optional<std::string> moveAside(const std::string& path, const std::string& suffix) override;
};

}  // namespace harbormind
