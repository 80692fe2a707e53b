#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "engines/clone/CloneMap.h"

namespace harbormind::clone {

// The maps of interrupted clones, one file per destination in a root-only folder, named after
// a hash of the destination's identity. Files are replaced whole (temporary file, flush, rename).
class CloneMapStore {
public:
    // What the store holds for a destination. A damaged map still marks the destination as
    // interrupted (its contents are a partial copy), but nothing in it is trusted.
    struct Found {
        bool present = false;
        std::optional<CloneMap> map;  // empty when none, or when the file is damaged

        bool damaged() const { return present && !map; }
    };

    explicit CloneMapStore(std::filesystem::path folder);

    Found find(const std::string& destinationIdentity) const;
    // The map of this destination; empty when there is none or it is damaged.
    std::optional<CloneMap> load(const std::string& destinationIdentity) const;
    bool save(const CloneMap& map) const;
    void remove(const std::string& destinationIdentity) const;

    std::filesystem::path fileFor(const std::string& destinationIdentity) const;

private:
    std::filesystem::path folder_;
};

}  // namespace harbormind::clone
