#include "platform/linux/network/NetworkSharePath.h"

#include <cctype>
#include <filesystem>
#include <iterator>
#include <sstream>

namespace harbormind {

std::string NetworkSharePath::decode(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            result += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

bool NetworkSharePath::isSafe(const std::string& path) {
    std::istringstream parts(path);
    std::string part;
    while (std::getline(parts, part, '/')) {
        std::string name = decode(part);
        if (part.empty()) {
            continue;
        }
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
            name.find('\0') != std::string::npos) {
            return false;
        }
    }
    return true;
}

bool NetworkSharePath::staysInside(const std::string& path, const std::string& folder) {
    std::filesystem::path normal = std::filesystem::path(path).lexically_normal();
    std::filesystem::path base = std::filesystem::path(folder).lexically_normal();
    auto relative = normal.lexically_relative(base);
    return !relative.empty() && *relative.begin() != ".." && relative.is_relative() &&
           std::distance(relative.begin(), relative.end()) <= 1;
}

}  // namespace harbormind
