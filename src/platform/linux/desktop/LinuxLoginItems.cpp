#include "platform/linux/desktop/LinuxLoginItems.h"

#include <fstream>
#include <sstream>

#include "platform/linux/files/WholeFileWriter.h"
#include "platform/linux/files/XdgConfigHome.h"

namespace harbormind {
namespace {

// Escapes a value of a desktop entry: backslashes and line breaks would otherwise end or
// change it.
std::string escapeValue(const std::string& text) {
    std::string result;
    for (char c : text) {
        switch (c) {
        case '\\': result += "\\\\"; break;
        case '\n': result += "\\n"; break;
        case '\r': result += "\\r"; break;
        case '\t': result += "\\t"; break;
        default: result += c;
        }
    }
    return result;
}

// One argument of an Exec line: quoted in double quotes when it holds a reserved character,
// with ", `, $ and \ escaped inside, and % doubled so it is not taken for a field code.
std::string quoteArgument(const std::string& argument) {
    std::string doubled;
    for (char c : argument) {
        doubled += c;
        if (c == '%') {
            doubled += '%';
        }
    }
    const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    bool needsQuotes = argument.empty() || doubled.find_first_of(reserved) != std::string::npos;
    if (!needsQuotes) {
        return doubled;
    }
    std::string quoted = "\"";
    for (char c : doubled) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string trim(const std::string& text) {
    std::string::size_type first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

LinuxLoginItems::LinuxLoginItems(std::string folder, std::string displayName, std::vector<std::string> command)
    : folder_(std::move(folder)), displayName_(std::move(displayName)), command_(std::move(command)) {}

std::string LinuxLoginItems::defaultFolder() { return XdgConfigHome::path() + "/autostart"; }

std::string LinuxLoginItems::pathOf(const std::string& identifier) const {
    if (identifier.empty() || identifier == "." || identifier == ".." || identifier.size() > 200 ||
        identifier.find_first_of(std::string("/\0", 2)) != std::string::npos) {
        return {};
    }
    return folder_ + "/" + identifier + ".desktop";
}

std::string LinuxLoginItems::execLine() const {
    std::string line;
    for (const std::string& argument : command_) {
        if (!line.empty()) {
            line += ' ';
        }
        line += quoteArgument(argument);
    }
    return escapeValue(line);
}

std::string LinuxLoginItems::entry(LoginItemState state) const {
    bool enabled = state == LoginItemState::Enabled;
    std::ostringstream text;
    text << "[Desktop Entry]\n"
         << "Type=Application\n"
         << "Name=" << escapeValue(displayName_) << "\n"
         << "Exec=" << execLine() << "\n"
         << "Terminal=false\n"
         << "Hidden=" << (enabled ? "false" : "true") << "\n"
         << "X-GNOME-Autostart-enabled=" << (enabled ? "true" : "false") << "\n";
    return text.str();
}

std::optional<LoginItemState> LinuxLoginItems::state(const std::string& identifier) {
    std::string path = pathOf(identifier);
    if (path.empty()) {
        return std::nullopt;
    }
    std::ifstream file(path);
    if (!file) {
        return std::nullopt;
    }
    bool inEntry = false;
    bool sawEntry = false;
    bool enabled = true;
    std::string line;
    while (std::getline(file, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            sawEntry = sawEntry || inEntry;
            continue;
        }
        if (!inEntry) {
            continue;
        }
        std::string::size_type equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        std::string key = trim(line.substr(0, equals));
        std::string value = trim(line.substr(equals + 1));
        if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false")) {
            enabled = false;
        }
    }
    if (!sawEntry) {
        return std::nullopt;
    }
    return enabled ? LoginItemState::Enabled : LoginItemState::Disabled;
}

bool LinuxLoginItems::setState(const std::string& identifier, LoginItemState state) {
    std::string path = pathOf(identifier);
    if (path.empty() || command_.empty()) {
        return false;
    }
    return WholeFileWriter::write(path, entry(state), 0644);
}

}  // namespace harbormind
