#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/SettingsStore.h"

namespace harbormind {

// One settings domain kept in a property-list file. Every read goes to the file, so changes
// made by another program sharing the domain are seen at once; every change rewrites the file
// whole under a lock on its folder.
//
// A file that is not a property list reads as empty. It is left alone until a setting changes;
// then a copy of it is kept beside it, named NAME.damaged-YYYYMMDD-HHMMSS, before the new file
// replaces it. A file that cannot be read at all is never replaced.
class LinuxSettingsStore final : public SettingsStore {
public:
    // An empty path makes a store that holds nothing and refuses changes.
    explicit LinuxSettingsStore(std::string path);

    std::optional<PlatformValue> value(const std::string& key) override;
    void setValue(const std::string& key, const PlatformValue& value) override;
    void removeValue(const std::string& key) override;
    std::vector<std::string> keys() override;

    const std::string& path() const { return path_; }

private:
    bool change(const std::string& key, const PlatformValue* value);

    std::string path_;
    std::mutex mutex_;
};

}  // namespace harbormind
