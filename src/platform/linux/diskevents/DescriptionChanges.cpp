#include "platform/linux/diskevents/DescriptionChanges.h"

#include <algorithm>

#include "platform/DiskDescriptionKey.h"

namespace harbormind {

std::vector<std::string> DescriptionChanges::keys(const DiskDescription& before, const DiskDescription& after) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : after.values()) {
        if (key == DiskDescriptionKey::appearanceTime) {
            continue;
        }
        auto it = before.values().find(key);
        if (it == before.values().end() || !(it->second == value)) {
            keys.push_back(key);
        }
    }
    for (const auto& [key, value] : before.values()) {
        if (after.values().count(key) == 0) {
            keys.push_back(key);
        }
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

}  // namespace harbormind
