#include "platform/linux/settings/LinuxSettingsStores.h"

#include "platform/linux/files/XdgConfigHome.h"
#include "support/Log.h"

namespace harbormind {

LinuxSettingsStores::LinuxSettingsStores(std::string folder, std::string standardDomain)
    : folder_(std::move(folder)), standardDomain_(std::move(standardDomain)) {}

std::string LinuxSettingsStores::defaultFolder() { return XdgConfigHome::path() + "/kestrane-harbormind"; }

std::shared_ptr<SettingsStore> LinuxSettingsStores::standard() { return suite(standardDomain_); }

std::shared_ptr<SettingsStore> LinuxSettingsStores::suite(const std::string& name) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<LinuxSettingsStore>& store = stores_[name];
    if (!store) {
        std::string path = pathOf(name);
        if (path.empty()) {
            Log::warning("settings: \"" + name + "\" cannot name a settings domain");
        }
        store = std::make_shared<LinuxSettingsStore>(path);
    }
    return store;
}

std::string LinuxSettingsStores::pathOf(const std::string& domain) const {
    if (domain.empty() || domain == "." || domain == ".." || domain.size() > 200 ||
        domain.find_first_of(std::string("/\0", 2)) != std::string::npos) {
        return {};
    }
    return folder_ + "/" + domain + ".plist";
}

}  // namespace harbormind
