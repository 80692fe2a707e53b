#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "daemon/clone/CloneMap.h"

namespace harbormind::clone {

// The maps of interrupted clones, one file per destination in a root-only folder, named after
// a hash of the destination's identity. Files are replaced whole (temporary file, flush, rename).
class CloneMapStore {
public:
    explicit CloneMapStore(std::filesystem::path folder);

    // The map of this destination; empty when there is none or it cannot be read whole.
    std::optional<CloneMap> load(const std::string& destinationIdentity) const;
    bool save(const CloneMap& map) const;
    void remove(const std::string& destinationIdentity) const;

    std::filesystem::path fileFor(const std::string& destinationIdentity) const;

private:
    std::filesystem::path folder_;
};

}  // namespace harbormind::clone
