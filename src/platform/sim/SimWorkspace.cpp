#include "platform/sim/SimWorkspace.h"

#include <algorithm>
#include <cctype>

namespace harbormind {

bool SimWorkspace::looksLikeURL(const std::string& text) {
    // A scheme: a letter, then letters, digits, "+", "-" or ".", then ":" and something more.
    auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) {
        return false;
    }
    if (std::isalpha(static_cast<unsigned char>(text[0])) == 0) {
        return false;
    }
    for (std::size_t i = 1; i < colon; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c) == 0 && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return std::none_of(text.begin(), text.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

bool SimWorkspace::accepts(const std::string& target) {
    return opens_ && std::find(refuses_.begin(), refuses_.end(), target) == refuses_.end();
}

bool SimWorkspace::openFolder(const std::string& path) {
    std::lock_guard lock(mutex_);
    folders_.push_back(path);
    return !path.empty() && accepts(path);
}

bool SimWorkspace::openURL(const std::string& url) {
    if (!looksLikeURL(url)) {
        return false;
    }
    std::lock_guard lock(mutex_);
    urls_.push_back(url);
    return accepts(url);
}

std::vector<std::string> SimWorkspace::openedFolders() {
    std::lock_guard lock(mutex_);
    return folders_;
}

std::vector<std::string> SimWorkspace::openedURLs() {
    std::lock_guard lock(mutex_);
    return urls_;
}

void SimWorkspace::setOpens(bool opens) {
    std::lock_guard lock(mutex_);
    opens_ = opens;
}

}  // namespace harbormind
