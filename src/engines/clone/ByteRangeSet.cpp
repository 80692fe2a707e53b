#include "engines/clone/ByteRangeSet.h"

#include <algorithm>
#include <iterator>

namespace harbormind::clone {

void ByteRangeSet::add(ByteRange range) {
    if (range.begin >= range.end) {
        return;
    }
    auto it = ranges_.upper_bound(range.begin);
    if (it != ranges_.begin()) {
        auto before = std::prev(it);
        if (before->second >= range.begin) {
            it = before;
        }
    }
    while (it != ranges_.end() && it->first <= range.end) {
        range.begin = std::min(range.begin, it->first);
        range.end = std::max(range.end, it->second);
        it = ranges_.erase(it);
    }
    ranges_.emplace(range.begin, range.end);
}

void ByteRangeSet::add(const ByteRangeSet& other) {
    for (const auto& [begin, end] : other.ranges_) {
        add({begin, end});
    }
}

bool ByteRangeSet::contains(ByteRange range) const {
    if (range.begin >= range.end) {
        return true;
    }
    auto it = ranges_.upper_bound(range.begin);
    if (it == ranges_.begin()) {
        return false;
    }
    --it;
    return it->first <= range.begin && it->second >= range.end;
}

std::uint64_t ByteRangeSet::totalBytes() const {
    std::uint64_t total = 0;
    for (const auto& [begin, end] : ranges_) {
        total += end - begin;
    }
    return total;
}

std::vector<ByteRange> ByteRangeSet::gapsWithin(std::uint64_t size) const {
    std::vector<ByteRange> gaps;
    std::uint64_t cursor = 0;
    for (const auto& [begin, end] : ranges_) {
        if (begin >= size) {
            break;
        }
        if (begin > cursor) {
            gaps.push_back({cursor, begin});
        }
        cursor = std::max(cursor, end);
    }
    if (cursor < size) {
        gaps.push_back({cursor, size});
    }
    return gaps;
}

std::vector<ByteRange> ByteRangeSet::ranges() const {
    std::vector<ByteRange> result;
    result.reserve(ranges_.size());
    for (const auto& [begin, end] : ranges_) {
        result.push_back({begin, end});
    }
    return result;
}

}  // namespace harbormind::clone
