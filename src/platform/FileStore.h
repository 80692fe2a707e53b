#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// Whole files of the user's: read at once, written whole (a temporary file beside the
// target, flushed, then renamed over it), and put aside without replacing anything.
class FileStore {
public:
    using Bytes = std::vector<std::uint8_t>;
    enum class Privacy { Normal, OwnerOnly };

    virtual ~FileStore() = default;
    // None when the file is missing or cannot be read.
    virtual std::optional<Bytes> read(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
    virtual bool write(const std::string& path, const Bytes& contents, Privacy privacy) = 0;
    // Moves the file to a free name beginning with `path` + `suffix`; the new path, or none.
    virtual std::optional<std::string> moveAside(const std::string& path, const std::string& suffix) = 0;
};

}  // namespace harbormind
