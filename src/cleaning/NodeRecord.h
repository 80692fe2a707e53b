#pragma once

#include <cstdint>

namespace harbormind {

// What a folder node keeps beside its name in the tree's storage: its children (side by side
// from a first node, or a list of child numbers kept by the storage), its counts of descendants
// and its device (an index into DeviceNumber's table). Stored unaligned, byte after byte.
struct __attribute__((packed)) NodeRecord {
    static constexpr std::uint32_t numbered = ~std::uint32_t{0};  // the count of a numbered list

    std::uint32_t children = 0;  // the first child's number, or the storage's child list
    std::uint32_t count = 0;     // how many side by side, or `numbered`
    std::int32_t fileCount = 0;
    std::int32_t folderCount = 0;
    std::uint16_t device = 0;
};

}  // namespace harbormind
