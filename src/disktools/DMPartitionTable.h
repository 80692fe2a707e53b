#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

struct DMPartitionEntry {
    std::string device;  // the kernel's name ("sdb1", "loop3p2")
    std::int64_t number = 0;
    std::int64_t startBytes = 0;
    std::int64_t sizeBytes = 0;
    std::string type;
    std::string name;
};

struct DMFreeRegion {
    std::int64_t startBytes = 0;
    std::int64_t sizeBytes = 0;
};

// A disk's partition table as the daemon reports it: the disk's size and sector size, and
// the table sfdisk reads ({"sizeBytes": N, "sectorSize": N, "table": sfdisk's "partitiontable"
// or null}). Free space is what lies between the partitions, aligned to 1 MiB as partitioning
// tools align it; an MBR table with four partitions has no room for another.
class DMPartitionTable {
public:
    enum class Scheme { none, gpt, mbr, other };
    static constexpr std::int64_t alignment = 1 << 20;
    static constexpr int mbrPrimaryLimit = 4;

    static std::optional<DMPartitionTable> parse(const std::string& json);

    Scheme scheme() const { return scheme_; }
    std::int64_t sizeBytes() const { return sizeBytes_; }
    std::int64_t sectorSize() const { return sectorSize_; }
    const std::vector<DMPartitionEntry>& partitions() const { return partitions_; }
    std::vector<DMFreeRegion> freeRegions() const;
    // Whether a new partition of `sizeBytes` at `startBytes` lies inside one free region and
    // on the alignment.
    bool fits(std::int64_t startBytes, std::int64_t sizeBytes) const;
    const DMPartitionEntry* partition(const std::string& device) const;

private:
    Scheme scheme_ = Scheme::none;
    std::int64_t sizeBytes_ = 0;
    std::int64_t sectorSize_ = 512;
    // The first and one past the last byte partitions may use.
    std::int64_t usableStart_ = alignment;
    std::int64_t usableEnd_ = 0;
    std::vector<DMPartitionEntry> partitions_;
};

}  // namespace harbormind
