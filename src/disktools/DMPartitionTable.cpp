#include "disktools/DMPartitionTable.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace harbormind {
namespace {

using Json = nlohmann::json;

std::optional<std::int64_t> number(const Json& object, const char* name) {
    auto it = object.find(name);
    if (it == object.end() || !it->is_number_integer() || it->get<std::int64_t>() < 0) {
        return std::nullopt;
    }
    return it->get<std::int64_t>();
}

std::string text(const Json& object, const char* name) {
    auto it = object.find(name);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::int64_t alignUp(std::int64_t value) {
    return (value + DMPartitionTable::alignment - 1) / DMPartitionTable::alignment * DMPartitionTable::alignment;
}

std::int64_t alignDown(std::int64_t value) {
    return value / DMPartitionTable::alignment * DMPartitionTable::alignment;
}

// The partition number at the end of a node's name ("/dev/loop3p12" gives 12).
std::int64_t trailingNumber(const std::string& node) {
    std::size_t end = node.size();
    std::size_t begin = end;
    while (begin > 0 && node[begin - 1] >= '0' && node[begin - 1] <= '9') {
        --begin;
    }
    if (begin == end || end - begin > 6) {
        return 0;
    }
    return std::stoll(node.substr(begin));
}

}  // namespace

std::optional<DMPartitionTable> DMPartitionTable::parse(const std::string& jsonText) {
    Json root = Json::parse(jsonText, nullptr, false);
    if (root.is_discarded() || !root.is_object()) {
        return std::nullopt;
    }
    DMPartitionTable table;
    auto size = number(root, "sizeBytes");
    auto sector = number(root, "sectorSize");
    if (!size || !sector || *sector < 512 || *sector > 65536) {
        return std::nullopt;
    }
    table.sizeBytes_ = *size;
    table.sectorSize_ = *sector;
    table.usableEnd_ = *size;
    auto it = root.find("table");
    if (it == root.end() || !it->is_object()) {
        return table;
    }
    const Json& sfdisk = *it;
    std::string label = text(sfdisk, "label");
    table.scheme_ = label == "gpt" ? Scheme::gpt : label == "dos" ? Scheme::mbr : Scheme::other;
    if (auto first = number(sfdisk, "firstlba")) {
        table.usableStart_ = std::max(alignment, *first * *sector);
    }
    if (auto last = number(sfdisk, "lastlba")) {
        table.usableEnd_ = std::min(*size, (*last + 1) * *sector);
    }
    auto parts = sfdisk.find("partitions");
    if (parts == sfdisk.end() || !parts->is_array()) {
        return table;
    }
    for (const Json& part : *parts) {
        auto start = part.is_object() ? number(part, "start") : std::nullopt;
        auto length = part.is_object() ? number(part, "size") : std::nullopt;
        if (!start || !length || *start > INT64_MAX / *sector || *length > INT64_MAX / *sector) {
            continue;
        }
        DMPartitionEntry entry;
        std::string node = text(part, "node");
        entry.device = node.rfind("/dev/", 0) == 0 ? node.substr(5) : node;
        entry.number = trailingNumber(node);
        entry.startBytes = *start * *sector;
        entry.sizeBytes = *length * *sector;
        entry.type = text(part, "type");
        entry.name = text(part, "name");
        table.partitions_.push_back(std::move(entry));
    }
    std::sort(table.partitions_.begin(), table.partitions_.end(),
              [](const auto& a, const auto& b) { return a.startBytes < b.startBytes; });
    return table;
}

std::vector<DMFreeRegion> DMPartitionTable::freeRegions() const {
    std::vector<DMFreeRegion> regions;
    if ((scheme_ != Scheme::gpt && scheme_ != Scheme::mbr) ||
        (scheme_ == Scheme::mbr && partitions_.size() >= mbrPrimaryLimit)) {
        return regions;
    }
    std::int64_t cursor = usableStart_;
    auto addGap = [&](std::int64_t from, std::int64_t to) {
        std::int64_t begin = alignUp(from);
        std::int64_t end = alignDown(to);
        if (end - begin >= alignment) {
            regions.push_back({begin, end - begin});
        }
    };
    for (const auto& part : partitions_) {
        addGap(cursor, part.startBytes);
        cursor = std::max(cursor, part.startBytes + part.sizeBytes);
    }
    addGap(cursor, usableEnd_);
    return regions;
}

bool DMPartitionTable::fits(std::int64_t startBytes, std::int64_t sizeBytes) const {
    if (startBytes < 0 || sizeBytes < alignment || startBytes % alignment != 0 || sizeBytes % sectorSize_ != 0) {
        return false;
    }
    for (const auto& region : freeRegions()) {
        if (startBytes >= region.startBytes && sizeBytes <= region.sizeBytes &&
            startBytes - region.startBytes <= region.sizeBytes - sizeBytes) {
            return true;
        }
    }
    return false;
}

const DMPartitionEntry* DMPartitionTable::partition(const std::string& device) const {
    for (const auto& part : partitions_) {
        if (part.device == device) {
            return &part;
        }
    }
    return nullptr;
}

}  // namespace harbormind
