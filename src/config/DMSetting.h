#pragma once

#include <string>
#include <vector>

namespace harbormind {

class DMConfigurationManager;

// One stored on/off setting: the key it is kept under, the accessor's name, its default, and
// how the configuration reads and writes it (writing through the configuration carries out
// what the setting does the moment it changes).
struct DMSetting {
    const char* key;
    const char* property;
    bool defaultValue;
    bool (DMConfigurationManager::*read)() const;
    void (DMConfigurationManager::*write)(bool);

    // The thirteen stored settings, in the configuration's order.
    static const std::vector<DMSetting>& all();
    // The setting stored under `key` (exactly as stored), or none.
    static const DMSetting* withKey(const std::string& key);
};

}  // namespace harbormind
