#include "network/NetworkDriveFolderText.h"

#include "platform/NetworkURL.h"

namespace harbormind {
namespace {

std::string trimmed(const std::string& text, const std::string& characters) {
    const auto first = text.find_first_not_of(characters);
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(characters);
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string NetworkDriveFolderText::normalized(const std::string& text) {
    // Blanks around a pasted address would otherwise make it no address at all.
    std::string result = trimmed(text, " \t\r\n");
    result = trimmed(result, "/");
    result = trimmed(result, "\\");
    if (auto url = NetworkURL::parse(result)) {
        return url->host + url->path;
    }
    return result;
}

NetworkDriveFolderText::Address NetworkDriveFolderText::address(const std::string& scheme, const std::string& text) {
    auto url = NetworkURL::parse(scheme + "://" + normalized(text));
    if (!url) {
        return {};
    }
    return {url->host, url->path};
}

std::string NetworkDriveFolderText::urlTitle(const std::string& scheme, const std::string& host,
                                             const std::string& dir) {
    return scheme + "://" + host + dir;
}

}  // namespace harbormind
