#pragma once

#include <cstdint>
#include <map>
#include <vector>

namespace harbormind::clone {

// A half-open byte range [begin, end).
struct ByteRange {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;

    std::uint64_t length() const { return end - begin; }
    bool operator==(const ByteRange&) const = default;
};

// A set of byte ranges kept merged: adjacent and overlapping ranges become one.
class ByteRangeSet {
public:
    void add(ByteRange range);
    void add(const ByteRangeSet& other);
    bool contains(ByteRange range) const;
    std::uint64_t totalBytes() const;
    bool empty() const { return ranges_.empty(); }
    void clear() { ranges_.clear(); }

    // The parts of [0, size) that this set does not cover, in order.
    std::vector<ByteRange> gapsWithin(std::uint64_t size) const;
    std::vector<ByteRange> ranges() const;

    bool operator==(const ByteRangeSet&) const = default;

private:
    std::map<std::uint64_t, std::uint64_t> ranges_;  // begin -> end
};

}  // namespace harbormind::clone
