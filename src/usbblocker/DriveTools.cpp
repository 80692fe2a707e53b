#include "usbblocker/DriveTools.h"

#include <regex>

#include "platform/DiskArbitration.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/Platform.h"

namespace harbormind {
namespace {

// Registry trees are shallow; the limit only stops a malformed tree that loops.
constexpr int maximumWalk = 256;

std::optional<std::string> textProperty(DeviceRegistry& registry, RegistryEntryId entry, const char* key) {
    auto value = registry.property(entry, key);
    return value ? value->asText() : std::nullopt;
}

}  // namespace

DriveTools& DriveTools::shared() {
    static DriveTools* tools = [] {
        Platform& platform = Platform::current();
        return new DriveTools([&platform] { return platform.diskArbitration().createSession(); },
                              platform.registry(), platform.wholeDiskNames());
    }();
    return *tools;
}

DriveTools::DriveTools(SessionFactory sessionFactory, DeviceRegistry& registry, WholeDiskNames* names)
    : sessionFactory_(std::move(sessionFactory)), registry_(registry), names_(names) {}

std::shared_ptr<DiskArbitrationSession> DriveTools::session() {
    std::call_once(sessionOnce_, [this] { session_ = sessionFactory_(); });
    return session_;
}

std::optional<std::string> DriveTools::wholeDiskBSDName(const std::string& bsdName) {
    auto daSession = session();
    if (!daSession) {
        return std::nullopt;
    }
    auto disk = daSession->diskFromBSDName(bsdName);
    if (!disk) {
        return std::nullopt;
    }
    auto media = daSession->copyIOMedia(*disk);
    if (!media) {
        return std::nullopt;
    }
    auto parent = registry_.parentEntry(*media);
    if (!parent) {
        return std::nullopt;
    }
    if (textProperty(registry_, *parent, ioClassKey) == blockStorageDriverClass) {
        return bsdName;
    }
    RegistryEntryId below = *parent;
    auto current = registry_.parentEntry(*parent);
    for (int step = 0; current && step < maximumWalk; ++step) {
        if (textProperty(registry_, *current, ioClassKey) == blockStorageDriverClass) {
            return textProperty(registry_, below, bsdNameKey);
        }
        below = *current;
        current = registry_.parentEntry(*current);
    }
    return std::nullopt;
}

std::optional<Drive> DriveTools::drive(const std::optional<std::string>& bsdName) {
    if (!bsdName) {
        return std::nullopt;
    }
    auto whole = wholeDiskBSDName(*bsdName);
    if (!whole) {
        return std::nullopt;
    }
    auto daSession = session();
    auto disk = daSession->diskFromBSDName(*whole);
    if (!disk) {
        return std::nullopt;
    }
    auto description = daSession->copyDescription(*disk);
    if (!description) {
        return std::nullopt;
    }
    // Callers ask only about disks that carry both; a missing one reads as empty rather than
    // failing.
    return Drive{description->text(DiskDescriptionKey::mediaName).value_or(""),
                 description->integer(DiskDescriptionKey::mediaSize).value_or(0)};
}

std::optional<Drive> DriveTools::drive(const DADisk& disk) {
    auto key = resolvedKey(disk);
    if (!key) {
        return std::nullopt;
    }
    return drive(std::optional<std::string>(*key));
}

std::optional<std::string> DriveTools::shortKey(const std::string& bsdName) {
    if (names_ != nullptr) {
        return names_->wholeDiskPrefix(bsdName);
    }
    static const std::regex pattern("disk[0-9]+");
    std::smatch match;
    if (std::regex_search(bsdName, match, pattern)) {
        return match.str(0);
    }
    return std::nullopt;
}

std::optional<std::string> DriveTools::resolvedKey(const DADisk& disk) {
    auto daSession = session();
    if (!daSession) {
        return std::nullopt;
    }
    auto description = daSession->copyDescription(disk);
    if (!description) {
        return std::nullopt;
    }
    auto mediaBSDName = description->text(DiskDescriptionKey::mediaBSDName);
    if (!mediaBSDName) {
        return std::nullopt;
    }
    auto key = shortKey(*mediaBSDName);
    if (!key) {
        return std::nullopt;
    }
    return wholeDiskBSDName(*key);
}

}  // namespace harbormind
