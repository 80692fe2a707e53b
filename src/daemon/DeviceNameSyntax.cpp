#include "daemon/DeviceNameSyntax.h"

namespace harbormind {
namespace {

bool allowedByte(char c, DeviceArgumentForm form) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    switch (c) {
    case '.': case '_': case '-': case ':': case '+': case '@':
        return true;
    case '/':
        return form == DeviceArgumentForm::path;
    default:
        return false;
    }
}

}  // namespace

std::string DeviceNameSyntax::problem(const std::string& argument, DeviceArgumentForm form) {
    if (argument.empty()) {
        return "empty device name";
    }
    std::size_t limit = form == DeviceArgumentForm::name ? maxNameLength : maxPathLength;
    if (argument.size() > limit) {
        return "device name too long";
    }
    for (char c : argument) {
        if (!allowedByte(c, form)) {
            return "device name with a forbidden character";
        }
    }
    if (argument.find("..") != std::string::npos) {
        return "device name with \"..\"";
    }
    if (form == DeviceArgumentForm::path && (!argument.starts_with("/dev/") || argument.size() == 5)) {
        return "device path outside /dev";
    }
    if (argument == "." || argument.find("//") != std::string::npos || argument.ends_with("/")) {
        return "malformed device name";
    }
    return {};
}

}  // namespace harbormind
