#include "platform/linux/processes/LinuxTerminalSecret.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <iterator>

namespace harbormind {

bool LinuxTerminalSecret::fromTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

std::optional<std::string> LinuxTerminalSecret::read(const std::string& prompt) {
    if (!isatty(STDIN_FILENO)) {
        std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
        if (text.ends_with("\r\n")) {
            text.resize(text.size() - 2);
        } else if (text.ends_with("\n")) {
            text.pop_back();
        }
        return text;
    }
    termios saved{};
    if (tcgetattr(STDIN_FILENO, &saved) != 0) {
        return std::nullopt;
    }
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    std::cerr << prompt << std::flush;
    if (tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) != 0) {
        return std::nullopt;
    }
    std::string line;
    bool read = static_cast<bool>(std::getline(std::cin, line));
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::cerr << "\n";
    if (!read) {
        return std::nullopt;
    }
    return line;
}

}  // namespace harbormind
