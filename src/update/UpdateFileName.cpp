#include "update/UpdateFileName.h"

#include <cctype>

namespace harbormind {
namespace {

constexpr std::size_t maxLength = 128;
constexpr const char* fallbackName = "kestrane-harbormind-update.deb";

bool isSafe(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == '_' || c == '+' ||
           c == '~';
}

}  // namespace

std::string UpdateFileName::safeBaseName(const std::string& proposed) {
    std::string name = proposed;
    if (std::size_t slash = name.find_last_of("/\\"); slash != std::string::npos) {
        name = name.substr(slash + 1);
    }
    std::string safe;
    for (char c : name) {
        safe += isSafe(c) ? c : '_';
    }
    std::size_t firstKept = safe.find_first_not_of('.');
    safe = firstKept == std::string::npos ? "" : safe.substr(firstKept);
    if (safe.size() > maxLength) {
        safe = safe.substr(safe.size() - maxLength);
    }
    if (safe.empty() || safe.find_first_not_of("._-") == std::string::npos) {
        return fallbackName;
    }
    return safe;
}

std::string UpdateFileName::signatureURL(const std::string& url) {
    std::size_t end = url.find_first_of("?#");
    if (end == std::string::npos) {
        return url + ".sig";
    }
    return url.substr(0, end) + ".sig" + url.substr(end);
}

}  // namespace harbormind
