#include "engines/checkdisk/VolumeProbe.h"

#include <blkid/blkid.h>

namespace harbormind {

std::optional<std::string> VolumeProbe::fileSystemType(const std::string& devicePath) {
    blkid_probe probe = blkid_new_probe_from_filename(devicePath.c_str());
    if (!probe) {
        return std::nullopt;
    }
    blkid_probe_enable_superblocks(probe, 1);
    blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_TYPE);
    blkid_probe_enable_partitions(probe, 0);
    std::optional<std::string> type;
    // A safe probe refuses ambiguous devices (two file system signatures): none is checked.
    if (blkid_do_safeprobe(probe) == 0) {
        const char* value = nullptr;
        if (blkid_probe_lookup_value(probe, "TYPE", &value, nullptr) == 0 && value) {
            type = value;
        }
    }
    blkid_free_probe(probe);
    return type;
}

}  // namespace harbormind
