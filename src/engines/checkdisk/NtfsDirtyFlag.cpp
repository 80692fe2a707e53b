#include "engines/checkdisk/NtfsDirtyFlag.h"

#include <cstdint>
#include <fstream>

namespace harbormind {
namespace {

constexpr std::uint32_t volumeInformation = 0x70;
constexpr std::uint32_t endOfAttributes = 0xFFFFFFFF;
constexpr std::uint16_t dirtyBit = 0x0001;
constexpr std::size_t fixupStride = 512;
constexpr std::uint64_t volumeRecordNumber = 3;

std::uint64_t little(const std::string& bytes, std::size_t offset, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    }
    return value;
}

// 2 to the power `exponent`, or 0 (refused later) when it would not be a sane size.
std::uint64_t shifted(std::uint64_t exponent) {
    return exponent <= 31 ? std::uint64_t{1} << exponent : 0;
}

bool powerOfTwo(std::uint64_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

// Puts back the last two bytes of every 512-byte stride, which NTFS swaps out on disk.
bool applyFixups(std::string& record) {
    std::size_t offset = little(record, 4, 2);
    std::size_t count = little(record, 6, 2);
    if (count < 2 || (count - 1) * fixupStride != record.size() || offset + 2 * count > record.size()) {
        return false;
    }
    for (std::size_t i = 1; i < count; ++i) {
        std::size_t end = i * fixupStride - 2;
        if (record.compare(end, 2, record, offset, 2) != 0) {
            return false;
        }
        record.replace(end, 2, record, offset + 2 * i, 2);
    }
    return true;
}

}  // namespace

std::optional<bool> NtfsDirtyFlag::parseVolumeRecord(std::string record) {
    if (record.size() < 48 || record.compare(0, 4, "FILE") != 0 || !applyFixups(record)) {
        return std::nullopt;
    }
    std::size_t offset = little(record, 0x14, 2);
    while (offset + 8 <= record.size()) {
        std::uint64_t type = little(record, offset, 4);
        if (type == endOfAttributes) {
            break;
        }
        std::uint64_t length = little(record, offset + 4, 4);
        if (length < 24 || offset + length > record.size()) {
            return std::nullopt;
        }
        bool resident = record[offset + 8] == 0;
        if (type == volumeInformation && resident) {
            std::uint64_t valueLength = little(record, offset + 0x10, 4);
            std::uint64_t valueOffset = little(record, offset + 0x14, 2);
            if (valueLength < 12 || valueOffset + valueLength > length) {
                return std::nullopt;
            }
            return (little(record, offset + valueOffset + 10, 2) & dirtyBit) != 0;
        }
        offset += length;
    }
    return std::nullopt;
}

std::optional<bool> NtfsDirtyFlag::read(const std::string& devicePath) {
    std::ifstream device(devicePath, std::ios::binary);
    std::string boot(512, '\0');
    if (!device.read(boot.data(), static_cast<std::streamsize>(boot.size())) ||
        boot.compare(3, 8, "NTFS    ") != 0) {
        return std::nullopt;
    }
    std::uint64_t sectorSize = little(boot, 0x0B, 2);
    std::uint64_t perCluster = little(boot, 0x0D, 1);
    // Above 128 the count is a negative power of two (large clusters).
    std::uint64_t sectors = perCluster <= 128 ? perCluster : shifted(256 - perCluster);
    std::uint64_t cluster = sectorSize * sectors;
    auto recordCode = static_cast<std::int8_t>(little(boot, 0x40, 1));
    std::uint64_t recordSize = recordCode > 0 ? static_cast<std::uint64_t>(recordCode) * cluster
                                              : shifted(static_cast<std::uint64_t>(-recordCode));
    std::uint64_t mft = little(boot, 0x30, 8);
    if (!powerOfTwo(sectorSize) || sectorSize < 256 || sectorSize > 4096 || !powerOfTwo(cluster) ||
        cluster > (std::uint64_t{1} << 21) || !powerOfTwo(recordSize) || recordSize < 1024 ||
        recordSize > 65536 || mft > (std::uint64_t{1} << 40) / cluster) {
        return std::nullopt;
    }
    std::string record(recordSize, '\0');
    device.seekg(static_cast<std::streamoff>(mft * cluster + volumeRecordNumber * recordSize));
    if (!device.read(record.data(), static_cast<std::streamsize>(record.size()))) {
        return std::nullopt;
    }
    return parseVolumeRecord(std::move(record));
}

}  // namespace harbormind
