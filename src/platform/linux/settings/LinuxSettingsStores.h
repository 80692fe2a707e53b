#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/SettingsStores.h"
#include "platform/linux/settings/LinuxSettingsStore.h"

namespace harbormind {

// Settings domains as property-list files in one folder, one file per domain named
// DOMAIN.plist: the application's own domain and named suites shared between programs.
class LinuxSettingsStores final : public SettingsStores {
public:
    LinuxSettingsStores(std::string folder, std::string standardDomain);

    // $XDG_CONFIG_HOME/kestrane-harbormind, or ~/.config/kestrane-harbormind.
    static std::string defaultFolder();

    std::shared_ptr<SettingsStore> standard() override;
    // A name that cannot be a file name (empty, with a slash, "." or "..") gives a store
    // that holds nothing and keeps nothing.
    std::shared_ptr<SettingsStore> suite(const std::string& name) override;

    // The file that holds a domain; empty for a name that cannot be one.
    std::string pathOf(const std::string& domain) const;

private:
    std::string folder_;
    std::string standardDomain_;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<LinuxSettingsStore>> stores_;
};

}  // namespace harbormind
