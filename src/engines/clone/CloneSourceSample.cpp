#include "engines/clone/CloneSourceSample.h"

#include <sodium.h>

#include <algorithm>
#include <vector>

#include "engines/clone/CloneBufferRing.h"

namespace harbormind::clone {
namespace {

constexpr std::uint64_t edgeBytes = 1u << 20;
constexpr std::uint64_t blockBytes = 64u << 10;
constexpr int spreadBlocks = 32;

std::vector<ByteRange> sampledRanges(std::uint64_t size) {
    std::vector<ByteRange> ranges{{0, std::min(size, edgeBytes)}};
    for (int i = 1; i < spreadBlocks; ++i) {
        std::uint64_t begin = size / spreadBlocks * static_cast<std::uint64_t>(i) / blockBytes * blockBytes;
        ranges.push_back({begin, std::min(size, begin + blockBytes)});
    }
    ranges.push_back({size > edgeBytes ? size - edgeBytes : 0, size});
    return ranges;
}

}  // namespace

std::string sourceSample(CloneSource& source) {
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, 16);
    CloneBufferRing ring(1, blockBytes);
    CloneBuffer* buffer = ring.takeFree();
    const std::uint64_t sector = std::max<std::uint64_t>(source.sectorSize(), 512);
    for (const ByteRange& range : sampledRanges(source.size())) {
        for (std::uint64_t offset = range.begin; offset < range.end; offset += blockBytes) {
            std::uint64_t length = std::min(blockBytes, range.end - offset) / sector * sector;
            if (length == 0) {
                continue;
            }
            std::uint64_t where[2] = {offset, length};
            crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(where), sizeof where);
            if (source.readAt(offset, buffer->data, length).status == CloneIoStatus::ok) {
                crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(buffer->data), length);
            } else {
                crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>("unreadable"), 10);
            }
        }
    }
    unsigned char hash[16];
    crypto_generichash_final(&state, hash, sizeof hash);
    char hex[sizeof hash * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, hash, sizeof hash);
    return hex;
}

}  // namespace harbormind::clone
