#include "platform/linux/desktop/LinuxFileManagerItems.h"

#include <sdbus-c++/sdbus-c++.h>

#include <cctype>
#include <vector>

namespace harbormind {

std::string LinuxFileManagerItems::fileURI(const std::string& path) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (char c : path) {
        auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri.push_back(c);
        } else {
            uri.push_back('%');
            uri.push_back(hex[byte >> 4]);
            uri.push_back(hex[byte & 0x0F]);
        }
    }
    return uri;
}

bool LinuxFileManagerItems::showItems(const std::string& path, std::chrono::milliseconds timeout) {
    try {
        auto connection = sdbus::createSessionBusConnection();
        auto proxy = sdbus::createProxy(*connection, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1");
        proxy->callMethod("ShowItems")
            .onInterface("org.freedesktop.FileManager1")
            .withTimeout(timeout)
            .withArguments(std::vector<std::string>{fileURI(path)}, std::string());
        return true;
    } catch (const sdbus::Error&) {
        // No session bus, no file manager on it, or it answered with an error: the caller
        // falls back to opening the folder.
        return false;
    }
}

}  // namespace harbormind
