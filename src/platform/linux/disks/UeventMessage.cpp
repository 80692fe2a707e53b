#include "platform/linux/disks/UeventMessage.h"

#include <string_view>

namespace harbormind {

std::string UeventMessage::deviceName() const {
    std::string name = field("DEVNAME");
    if (!name.empty()) {
        auto slash = name.rfind('/');
        return slash == std::string::npos ? name : name.substr(slash + 1);
    }
    auto slash = devPath.rfind('/');
    return slash == std::string::npos ? devPath : devPath.substr(slash + 1);
}

std::optional<UeventMessage> UeventMessage::parse(const char* data, std::size_t length) {
    std::string_view text(data, length);
    std::size_t end = text.find('\0');
    std::string_view header = text.substr(0, end);
    std::size_t at = header.find('@');
    if (at == std::string_view::npos || at == 0 || at + 1 >= header.size()) {
        return std::nullopt;
    }
    UeventMessage message;
    message.action = std::string(header.substr(0, at));
    message.devPath = std::string(header.substr(at + 1));
    while (end != std::string_view::npos && end + 1 < text.size()) {
        std::size_t start = end + 1;
        end = text.find('\0', start);
        std::string_view field = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        std::size_t equals = field.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            continue;
        }
        message.fields[std::string(field.substr(0, equals))] = std::string(field.substr(equals + 1));
    }
    if (!message.fields.empty()) {
        auto action = message.fields.find("ACTION");
        if (action != message.fields.end() && action->second != message.action) {
            return std::nullopt;
        }
    }
    return message;
}

}  // namespace harbormind
