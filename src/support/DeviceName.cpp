#include "support/DeviceName.h"

#include <algorithm>

namespace harbormind {
namespace {

bool isNameCharacter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == ':' || c == '!';
}

}  // namespace

std::optional<DeviceName> DeviceName::fromName(std::string_view name) {
    if (name.empty() || name.size() > maximumLength || name.front() == '.' ||
        !std::all_of(name.begin(), name.end(),
                     [](char c) { return isNameCharacter(static_cast<unsigned char>(c)); })) {
        return std::nullopt;
    }
    return DeviceName(std::string(name));
}

std::optional<DeviceName> DeviceName::parse(std::string_view text) {
    if (text.starts_with(devFolder)) {
        text.remove_prefix(devFolder.size());
    }
    return fromName(text);
}

std::optional<DeviceName> DeviceName::parseAcceptingRaw(std::string_view text) {
    constexpr std::string_view rawFolder = "/dev/r";
    if (text.starts_with(rawFolder)) {
        return fromName(text.substr(rawFolder.size()));
    }
    return parse(text);
}

}  // namespace harbormind
