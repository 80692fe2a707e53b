#pragma once

#include <chrono>
#include <string>

namespace harbormind {

// Asks the desktop's file manager, through the freedesktop FileManager1 interface on the
// session bus, to show an item selected in its folder.
class LinuxFileManagerItems {
public:
    // False when there is no session bus, no file manager answers, or it refused.
    static bool showItems(const std::string& path, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // "file://" and the absolute path, percent-encoded outside the unreserved characters and "/".
    static std::string fileURI(const std::string& path);
};

}  // namespace harbormind
