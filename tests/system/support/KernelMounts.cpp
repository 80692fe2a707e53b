#include "system/support/KernelMounts.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace harbormind::test {
namespace {

// Undoes the octal escapes of mountinfo fields ("\040" for a space).
std::string unescape(const std::string& field) {
    std::string text;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (field[at] == '\\' && at + 3 < field.size()) {
            text += static_cast<char>(std::stoi(field.substr(at + 1, 3), nullptr, 8));
            at += 3;
        } else {
            text += field[at];
        }
    }
    return text;
}

}  // namespace

std::vector<KernelMounts::Entry> KernelMounts::read() {
    std::vector<Entry> entries;
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point, word;
        fields >> id >> parent >> device >> root >> point;
        while (fields >> word && word != "-") {
        }
        std::string type;
        fields >> type;
        entries.push_back({unescape(point), device, type, id});
    }
    return entries;
}

namespace {

std::vector<KernelMounts::Entry> entriesOf(const std::string& devicePath) {
    struct stat facts {};
    if (::stat(devicePath.c_str(), &facts) != 0 || !S_ISBLK(facts.st_mode)) {
        return {};
    }
    const std::string device = std::to_string(major(facts.st_rdev)) + ":" + std::to_string(minor(facts.st_rdev));
    std::vector<KernelMounts::Entry> found;
    for (const KernelMounts::Entry& entry : KernelMounts::read()) {
        if (entry.device == device) {
            found.push_back(entry);
        }
    }
    return found;
}

}  // namespace

std::vector<std::string> KernelMounts::mountPointsOf(const std::string& devicePath) {
    std::vector<std::string> points;
    for (const Entry& entry : entriesOf(devicePath)) {
        points.push_back(entry.mountPoint);
    }
    return points;
}

std::vector<std::string> KernelMounts::mountIdsOf(const std::string& devicePath) {
    std::vector<std::string> ids;
    for (const Entry& entry : entriesOf(devicePath)) {
        ids.push_back(entry.id);
    }
    return ids;
}

bool KernelMounts::isMountPoint(const std::string& path) {
    for (const Entry& entry : read()) {
        if (entry.mountPoint == path) {
            return true;
        }
    }
    return false;
}

void KernelMounts::unmountBelow(const std::string& folder) {
    std::vector<std::string> points;
    for (const Entry& entry : read()) {
        if (entry.mountPoint == folder || entry.mountPoint.starts_with(folder + "/")) {
            points.push_back(entry.mountPoint);
        }
    }
    std::sort(points.begin(), points.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& point : points) {
        ::umount2(point.c_str(), MNT_DETACH);
    }
}

}  // namespace harbormind::test
