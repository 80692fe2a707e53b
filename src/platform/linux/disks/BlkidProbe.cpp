#include "platform/linux/disks/BlkidProbe.h"

#include <blkid/blkid.h>
#include <malloc.h>

#include <cstdio>
#include <mutex>

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

// libblkid takes and frees a buffer of up to a few hundred kilobytes for each area of a device
// it reads. glibc maps such sizes afresh and unmaps them when freed (until its own threshold has
// grown), so each probe page-faults its buffers in again; that was a third of a probe's time.
// Kept in the heap, they are reused: allocations up to 4 MiB come from the heap, and up to
// 8 MiB of free heap is kept rather than given back. Set once, for the whole process.
void keepBuffersInHeap() {
    static std::once_flag once;
    std::call_once(once, [] {
        ::mallopt(M_MMAP_THRESHOLD, 4 << 20);
        ::mallopt(M_TRIM_THRESHOLD, 8 << 20);
    });
}

// A probe of the open node, or of the node at `path` opened for it.
blkid_probe newProbe(const std::string& path, int node) {
    if (node < 0) {
        return blkid_new_probe_from_filename(path.c_str());
    }
    blkid_probe probe = blkid_new_probe();
    if (probe != nullptr && blkid_probe_set_device(probe, node, 0, 0) != 0) {
        blkid_free_probe(probe);
        return blkid_new_probe_from_filename(path.c_str());
    }
    return probe;
}

}  // namespace

VolumeFacts BlkidProbe::probe(const std::string& devicePath, ProbeTable table, int node) {
    if (table == ProbeTable::Read) {
        return probeDisk(devicePath, partitionTable(devicePath, node), node);
    }
    return superblocks(devicePath, node, VolumeFacts{});
}

VolumeFacts BlkidProbe::probeDisk(const std::string& diskPath, const Table& table, int node) {
    VolumeFacts facts;
    facts.tableType = table.scheme;
    facts.tableUuid = table.id;
    // A GPT or Apple table leaves no room for a file system on the disk itself, so its
    // superblocks are not searched (the slow part of probing). An MBR can be the boot
    // sector of a whole-disk FAT or exFAT volume, so those disks are searched.
    if (table.scheme && *table.scheme != "dos") {
        return facts;
    }
    return superblocks(diskPath, node, std::move(facts));
}

VolumeFacts BlkidProbe::superblocks(const std::string& devicePath, int node, VolumeFacts facts) {
    keepBuffersInHeap();
    blkid_probe probe = newProbe(devicePath, node);
    if (probe == nullptr) {
        return facts;
    }
    blkid_probe_enable_superblocks(probe, 1);
    blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID | BLKID_SUBLKS_TYPE);
    blkid_probe_enable_partitions(probe, 0);
    if (blkid_do_safeprobe(probe) == 0) {
        facts.type = lookup(probe, "TYPE");
        facts.label = lookup(probe, "LABEL");
        facts.uuid = lookup(probe, "UUID");
    }
    blkid_free_probe(probe);
    return facts;
}

BlkidProbe::Table BlkidProbe::partitionTable(const std::string& diskPath, int node) {
    keepBuffersInHeap();
    Table result;
    blkid_probe probe = newProbe(diskPath, node);
    if (probe == nullptr) {
        return result;
    }
    blkid_probe_enable_superblocks(probe, 0);
    blkid_probe_enable_partitions(probe, 1);
    blkid_partlist list = blkid_probe_get_partitions(probe);
    if (list != nullptr) {
        if (blkid_parttable table = blkid_partlist_get_table(list)) {
            if (const char* scheme = blkid_parttable_get_type(table)) {
                result.scheme = scheme;
            }
            if (const char* id = blkid_parttable_get_id(table); id != nullptr && *id != 0) {
                result.id = id;
            }
        }
        const int count = blkid_partlist_numof_partitions(list);
        for (int i = 0; i < count; ++i) {
            blkid_partition partition = blkid_partlist_get_partition(list, i);
            if (partition == nullptr) {
                continue;
            }
            Entry entry;
            entry.number = blkid_partition_get_partno(partition);
            if (const char* type = blkid_partition_get_type_string(partition)) {
                entry.type = type;
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(blkid_partition_get_type(partition)));
                entry.type = hex;
            }
            if (const char* uuid = blkid_partition_get_uuid(partition); uuid != nullptr && *uuid != 0) {
                entry.uuid = uuid;
            }
            if (const char* name = blkid_partition_get_name(partition); name != nullptr && *name != 0) {
                entry.name = name;
            }
            result.entries.push_back(std::move(entry));
        }
    }
    blkid_free_probe(probe);
    return result;
}

}  // namespace harbormind
