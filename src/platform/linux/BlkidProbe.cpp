#include "platform/linux/BlkidProbe.h"

#include <blkid/blkid.h>

namespace harbormind {
namespace {

std::optional<std::string> lookup(blkid_probe probe, const char* key) {
    const char* value = nullptr;
    std::size_t length = 0;
    if (blkid_probe_lookup_value(probe, key, &value, &length) != 0 || value == nullptr) {
        return std::nullopt;
    }
    std::string text(value, length);
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

VolumeFacts BlkidProbe::probe(const std::string& devicePath, ProbeTable table) {
    VolumeFacts facts;
    blkid_probe probe = blkid_new_probe_from_filename(devicePath.c_str());
    if (probe == nullptr) {
        return facts;
    }
    blkid_probe_enable_superblocks(probe, 1);
    blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID | BLKID_SUBLKS_TYPE);
    blkid_probe_enable_partitions(probe, 1);
    blkid_probe_set_partitions_flags(probe, BLKID_PARTS_ENTRY_DETAILS);
    if (blkid_do_safeprobe(probe) == 0) {
        facts.type = lookup(probe, "TYPE");
        facts.label = lookup(probe, "LABEL");
        facts.uuid = lookup(probe, "UUID");
        if (table == ProbeTable::Read) {
            facts.tableType = lookup(probe, "PTTYPE");
            facts.tableUuid = lookup(probe, "PTUUID");
        }
        facts.entryType = lookup(probe, "PART_ENTRY_TYPE");
        facts.entryUuid = lookup(probe, "PART_ENTRY_UUID");
        facts.entryName = lookup(probe, "PART_ENTRY_NAME");
        facts.entryScheme = lookup(probe, "PART_ENTRY_SCHEME");
    }
    blkid_free_probe(probe);
    return facts;
}

}  // namespace harbormind
