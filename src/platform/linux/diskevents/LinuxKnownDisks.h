#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/diskevents/KnownDisk.h"

namespace harbormind {

// The disks the watcher shows, by kernel name: read from any thread, written by the watcher.
class LinuxKnownDisks {
public:
    std::optional<KnownDisk> find(const std::string& name) const;
    std::optional<SysfsBlockDevice> device(const std::string& name) const;
    // The facts kept for this very device (not for another one that has its name now).
    std::optional<VolumeFacts> facts(const SysfsBlockDevice& device) const;
    // Keeps the disk in the place of discovery it had, or after every other one when it is new.
    void keep(const std::string& name, KnownDisk disk);
    void setDescription(const std::string& name, const DiskDescription& description);
    // Forgets the disk; what it was mapped on, or none when it was not known.
    std::optional<std::vector<std::string>> forget(const std::string& name);

    // The names in the order the disks were discovered.
    std::vector<std::string> orderedNames() const;
    std::vector<std::pair<std::string, KnownDisk>> all() const;
    std::vector<std::string> partitionsOf(const std::string& diskName) const;
    std::vector<std::string> namesOutside(const std::set<std::string>& present) const;
    std::optional<std::string> firstName(const std::function<bool(const std::string&, const KnownDisk&)>& matches) const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, KnownDisk> disks_;
    std::uint64_t nextSequence_ = 1;
};

}  // namespace harbormind
