#include "platform/linux/disks/MountTable.h"

#include <fstream>
#include <sstream>

namespace harbormind {
namespace {

std::string unescape(const std::string& field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1];
            const char b = field[i + 2];
            const char c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out.push_back(static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0')));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

bool matches(const MountEntry& entry, const std::string& devNumber, const std::string& devicePath) {
    return (!devNumber.empty() && entry.devNumber == devNumber) ||
           (!devicePath.empty() && entry.source == devicePath);
}

bool within(const std::string& path, const std::string& mountPoint) {
    if (mountPoint == "/") {
        return !path.empty() && path[0] == '/';
    }
    return path == mountPoint || (path.rfind(mountPoint, 0) == 0 && path.size() > mountPoint.size() &&
                                  path[mountPoint.size()] == '/');
}

}  // namespace

MountTable MountTable::parse(const std::string& text) {
    std::vector<MountEntry> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::vector<std::string> before;
        std::string field;
        bool separator = false;
        while (fields >> field) {
            if (field == "-") {
                separator = true;
                break;
            }
            before.push_back(field);
        }
        std::string fsType;
        std::string source;
        if (!separator || before.size() < 6 || !(fields >> fsType) || !(fields >> source)) {
            continue;
        }
        MountEntry entry;
        entry.devNumber = before[2];
        entry.root = unescape(before[3]);
        entry.mountPoint = unescape(before[4]);
        entry.fsType = unescape(fsType);
        entry.source = unescape(source);
        entries.push_back(std::move(entry));
    }
    return MountTable(std::move(entries));
}

MountTable MountTable::read(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        return {};
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    return parse(buffer.str());
}

std::optional<std::string> MountTable::mountPointOf(const std::string& devNumber,
                                                    const std::string& devicePath) const {
    std::optional<std::string> bind;
    for (const auto& entry : entries_) {
        if (!matches(entry, devNumber, devicePath)) {
            continue;
        }
        if (entry.root == "/") {
            return entry.mountPoint;
        }
        if (!bind) {
            bind = entry.mountPoint;
        }
    }
    return bind;
}

std::vector<std::string> MountTable::mountPointsOf(const std::string& devNumber,
                                                   const std::string& devicePath) const {
    std::vector<std::string> points;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (matches(*it, devNumber, devicePath)) {
            points.push_back(it->mountPoint);
        }
    }
    return points;
}

std::optional<MountEntry> MountTable::entryContaining(const std::string& path) const {
    std::optional<MountEntry> best;
    for (const auto& entry : entries_) {
        if (within(path, entry.mountPoint) && (!best || entry.mountPoint.size() >= best->mountPoint.size())) {
            best = entry;
        }
    }
    return best;
}

bool MountTable::operator==(const MountTable& other) const {
    if (entries_.size() != other.entries_.size()) {
        return false;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const auto& a = entries_[i];
        const auto& b = other.entries_[i];
        if (a.devNumber != b.devNumber || a.root != b.root || a.mountPoint != b.mountPoint ||
            a.fsType != b.fsType || a.source != b.source) {
            return false;
        }
    }
    return true;
}

}  // namespace harbormind
