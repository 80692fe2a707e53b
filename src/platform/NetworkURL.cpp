#include "platform/NetworkURL.h"

#include <charconv>

#include "support/TextCase.h"

namespace harbormind {

std::optional<NetworkURL> NetworkURL::parse(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) {
            return std::nullopt;
        }
    }
    auto schemeEnd = text.find("://");
    if (schemeEnd == std::string::npos || schemeEnd == 0) {
        return std::nullopt;
    }
    NetworkURL url;
    url.scheme = text.substr(0, schemeEnd);
    for (char c : url.scheme) {
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !other) {
            return std::nullopt;
        }
    }
    std::string rest = text.substr(schemeEnd + 3);
    auto pathStart = rest.find('/');
    std::string authority = rest.substr(0, pathStart);
    url.path = pathStart == std::string::npos ? "" : rest.substr(pathStart);
    auto at = authority.rfind('@');
    if (at != std::string::npos) {
        std::string userInfo = authority.substr(0, at);
        url.user = userInfo.substr(0, userInfo.find(':'));
        authority = authority.substr(at + 1);
    }
    url.host = authority;
    if (url.host.empty() || url.host.front() == ':') {
        return std::nullopt;
    }
    return url;
}

std::string NetworkURL::text() const {
    std::string result = scheme + "://";
    if (!user.empty()) {
        result += user + "@";
    }
    return result + host + path;
}

std::string NetworkURL::hostName() const {
    // A bracketed IPv6 address holds colons of its own.
    auto searchFrom = host.starts_with("[") ? host.find(']') : 0;
    if (searchFrom == std::string::npos) {
        return host;
    }
    auto colon = host.find(':', searchFrom);
    return colon == std::string::npos ? host : host.substr(0, colon);
}

std::optional<int> NetworkURL::port() const {
    std::string name = hostName();
    if (name.size() == host.size()) {
        return std::nullopt;
    }
    int value = 0;
    const char* begin = host.data() + name.size() + 1;
    const char* end = host.data() + host.size();
    auto [last, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || last != end || value <= 0 || value > 65535) {
        return std::nullopt;
    }
    return value;
}

std::string NetworkURL::lastPathComponent() const {
    std::string trimmed = path;
    while (!trimmed.empty() && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    auto slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::string NetworkURL::volumeKind(const std::string& scheme) {
    std::string lower = TextCase::lower(scheme);
    if (lower == "smb" || lower == "cifs") {
        return "smbfs";
    }
    if (lower == "afp") {
        return "afpfs";
    }
    if (lower == "nfs") {
        return "nfs";
    }
    if (lower == "ftp") {
        return "ftp";
    }
    if (lower == "webdav" || lower == "http" || lower == "https") {
        return "webdav";
    }
    return lower;
}

}  // namespace harbormind
