#include "engines/clone/CloneDeviceContents.h"

#include <blkid.h>

namespace harbormind::clone {

std::optional<std::string> deviceContents(const std::string& path) {
    blkid_probe probe = blkid_new_probe_from_filename(path.c_str());
    if (!probe) {
        return std::nullopt;
    }
    blkid_probe_enable_superblocks(probe, 1);
    blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_TYPE);
    blkid_probe_enable_partitions(probe, 1);
    blkid_probe_set_partitions_flags(probe, BLKID_PARTS_ENTRY_DETAILS);
    std::optional<std::string> found;
    if (blkid_do_probe(probe) == 0) {
        const char* value = nullptr;
        if (blkid_probe_lookup_value(probe, "PTTYPE", &value, nullptr) == 0 ||
            blkid_probe_lookup_value(probe, "TYPE", &value, nullptr) == 0) {
            found = value;
        } else {
            found = "data";
        }
    }
    blkid_free_probe(probe);
    return found;
}

}  // namespace harbormind::clone
