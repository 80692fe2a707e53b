#include "daemon/linux/LuksDumpText.h"

#include <sstream>

namespace harbormind {

bool LuksDumpText::needsResume(const std::string& dump) {
    std::istringstream lines(dump);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("Requirements:", 0) == 0) {
            return line.find("online-reencrypt") != std::string::npos;
        }
    }
    return false;
}

bool LuksDumpText::needsRecovery(const std::string& dump) {
    if (!needsResume(dump)) {
        return false;
    }
    std::istringstream lines(dump);
    std::string line;
    bool inSegments = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] != ' ' && line[0] != '\t') {
            inSegments = line.rfind("Data segments:", 0) == 0;
            continue;
        }
        if (inSegments && line.find("flags") != std::string::npos &&
            line.find("in-reencryption") != std::string::npos) {
            return true;
        }
    }
    return false;
}

int LuksDumpText::keySlots(const std::string& dump) {
    std::istringstream lines(dump);
    std::string line;
    bool inSlots = false;
    int count = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("Keyslots:", 0) == 0) {
            inSlots = true;
            continue;
        }
        if (inSlots && !line.empty() && line[0] != ' ' && line[0] != '\t') {
            break;
        }
        // A slot's first line: two spaces, its number, a colon, its kind ("  1: luks2").
        if (inSlots && line.size() > 3 && line.compare(0, 2, "  ") == 0 && std::isdigit(static_cast<unsigned char>(line[2])) &&
            line.find(": ") != std::string::npos) {
            ++count;
        }
    }
    return count;
}

}  // namespace harbormind
