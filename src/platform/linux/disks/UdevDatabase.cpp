#include "platform/linux/disks/UdevDatabase.h"

#include <fstream>
#include <map>

namespace harbormind {
namespace {

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool validNumber(const std::string& devNumber) {
    auto colon = devNumber.find(':');
    return colon != std::string::npos && colon > 0 && colon + 1 < devNumber.size() &&
           devNumber.find_first_not_of("0123456789:") == std::string::npos && devNumber.find(':', colon + 1) == std::string::npos;
}

}  // namespace

std::string UdevDatabase::decoded(const std::string& value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 3 < value.size() && value[i + 1] == 'x' && isHex(value[i + 2]) &&
            isHex(value[i + 3])) {
            text += static_cast<char>(std::stoi(value.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            text += value[i];
        }
    }
    return text;
}

std::optional<VolumeFacts> UdevDatabase::facts(const std::string& devNumber) const {
    if (!validNumber(devNumber)) {
        return std::nullopt;
    }
    std::ifstream record(root_ + "/b" + devNumber);
    if (!record) {
        return std::nullopt;
    }
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(record, line)) {
        auto equals = line.find('=');
        if (line.starts_with("E:") && equals != std::string::npos) {
            values[line.substr(2, equals - 2)] = line.substr(equals + 1);
        }
    }
    auto value = [&](const std::string& key) -> std::optional<std::string> {
        auto found = values.find(key);
        if (found == values.end() || found->second.empty()) {
            return std::nullopt;
        }
        return found->second;
    };
    // The encoded forms keep spaces and other bytes that the plain ones replace with "_".
    auto text = [&](const std::string& key) -> std::optional<std::string> {
        if (auto encoded = value(key + "_ENC")) {
            return decoded(*encoded);
        }
        auto plain = value(key);
        return plain ? std::optional<std::string>(decoded(*plain)) : std::nullopt;
    };
    VolumeFacts facts;
    facts.type = value("ID_FS_TYPE");
    facts.label = text("ID_FS_LABEL");
    facts.uuid = value("ID_FS_UUID");
    facts.tableType = value("ID_PART_TABLE_TYPE");
    facts.tableUuid = value("ID_PART_TABLE_UUID");
    facts.entryScheme = value("ID_PART_ENTRY_SCHEME");
    facts.entryType = value("ID_PART_ENTRY_TYPE");
    facts.entryUuid = value("ID_PART_ENTRY_UUID");
    facts.entryName = text("ID_PART_ENTRY_NAME");
    return facts;
}

}  // namespace harbormind
