#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace harbormind {

// The space of a mounted file system as `df` shows it: `freeBytes` is what the user may
// still write; `usedBytes` what files take (blocks reserved for the administrator are
// neither), absent where the platform only knows total and free.
struct FileSystemSpace {
    std::optional<std::int64_t> totalBytes;
    std::optional<std::int64_t> freeBytes;
    std::optional<std::int64_t> usedBytes = std::nullopt;
};

// Facts about files and mounted file systems.
class FileSystemInfo {
public:
    virtual ~FileSystemInfo() = default;
    virtual FileSystemSpace space(const std::string& mountPoint) = 0;
    virtual bool exists(const std::string& path) = 0;
    virtual bool isReadable(const std::string& path) = 0;
    virtual bool isWritable(const std::string& path) = 0;
    // True when the folder exists and its contents can be listed.
    virtual bool canListFolder(const std::string& path) = 0;
};

}  // namespace harbormind
