#pragma once

#include <string>

namespace harbormind {

// The path of a share in a network address: decoding it, and checking that neither it nor the
// mount folder made from it leads anywhere else.
class NetworkSharePath {
public:
    // Undoes the %XX escapes of an address's path.
    static std::string decode(const std::string& text);
    // Every folder name of the path, decoded, is a plain name: a decoded "/" or NUL, "." or
    // ".." would lead the mount folder, or the path on the server, somewhere else.
    static bool isSafe(const std::string& path);
    // `path` is `folder` itself or one name inside it.
    static bool staysInside(const std::string& path, const std::string& folder);
};

}  // namespace harbormind
