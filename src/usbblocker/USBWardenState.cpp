#include "usbblocker/USBWardenState.h"

namespace harbormind {
namespace {

std::string_view trimmed(std::string_view text) {
    const char* blanks = " \t\r";
    auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

USBWardenState USBWardenState::parse(std::string_view text) {
    USBWardenState state;
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string_view key = trimmed(line.substr(0, equals));
        std::string_view value = trimmed(line.substr(equals + 1));
        if (key == "on") {
            state.on = value == "true";
        } else if (key == "password") {
            state.passwordSet = value == "true";
        } else if (key == "mode") {
            state.mode = value == "2" ? whiteListOnly : askEveryTime;
        }
    }
    return state;
}

std::string USBWardenState::text() const {
    return std::string("on = ") + (on ? "true" : "false") + "\nmode = " + std::to_string(mode) +
           "\npassword = " + (passwordSet ? "true" : "false") + "\n";
}

}  // namespace harbormind
