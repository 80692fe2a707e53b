#include "platform/DiskDescription.h"

namespace harbormind {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Percent escapes decoded; none when an escape is broken or decodes to NUL.
std::optional<std::string> percentDecoded(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded.push_back(text[i]);
            continue;
        }
        int high = i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
        int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
        if (high < 0 || low < 0 || (high == 0 && low == 0)) {
            return std::nullopt;
        }
        decoded.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return decoded;
}

}  // namespace

std::optional<std::string> DiskDescription::path(const std::string& key) const {
    std::optional<std::string> text = find(key).asText();
    return text ? pathFromText(*text) : std::nullopt;
}

std::optional<std::string> DiskDescription::pathFromText(const std::string& text) {
    const std::string scheme = "file://";
    if (text.rfind(scheme, 0) != 0) {
        return text;
    }
    std::string rest = text.substr(scheme.size());
    std::size_t slash = rest.find('/');
    if (slash == std::string::npos) {
        return std::nullopt;
    }
    std::string host = rest.substr(0, slash);
    if (!host.empty() && host != "localhost") {
        return std::nullopt;
    }
    std::optional<std::string> path = percentDecoded(rest.substr(slash));
    if (path && path->size() > 1 && path->back() == '/') {
        path->pop_back();
    }
    return path;
}

}  // namespace harbormind
