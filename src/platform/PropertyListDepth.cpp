#include "platform/PropertyListDepth.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace harbormind {
namespace {

std::optional<std::uint64_t> bigEndian(std::string_view bytes, std::size_t at, std::size_t size) {
    if (size == 0 || size > 8 || at > bytes.size() || bytes.size() - at < size) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// The object references of one binary container object (array, set, dictionary); none for
// other objects; false when the object does not fit the file.
struct BinaryList {
    std::string_view bytes;
    std::size_t offsetSize = 0;
    std::size_t refSize = 0;
    std::uint64_t objectCount = 0;
    std::uint64_t offsetTable = 0;

    bool children(std::uint64_t object, std::vector<std::uint64_t>& refs) const {
        refs.clear();
        auto offset = bigEndian(bytes, offsetTable + object * offsetSize, offsetSize);
        if (!offset || *offset >= bytes.size()) {
            return false;
        }
        auto marker = static_cast<unsigned char>(bytes[*offset]);
        unsigned type = marker >> 4;
        if (type != 0xA && type != 0xC && type != 0xD) {
            return true;
        }
        std::uint64_t count = marker & 0x0F;
        std::size_t start = *offset + 1;
        if (count == 0x0F) {
            if (start >= bytes.size() || (static_cast<unsigned char>(bytes[start]) >> 4) != 0x1) {
                return false;
            }
            std::size_t size = std::size_t{1} << (static_cast<unsigned char>(bytes[start]) & 0x0F);
            auto value = bigEndian(bytes, start + 1, size);
            if (!value) {
                return false;
            }
            count = *value;
            start += 1 + size;
        }
        if (type == 0xD) {
            count *= 2;
        }
        if (count > bytes.size() || start + count * refSize > bytes.size()) {
            return false;
        }
        for (std::uint64_t i = 0; i < count; ++i) {
            auto ref = bigEndian(bytes, start + i * refSize, refSize);
            if (!ref || *ref >= objectCount) {
                return false;
            }
            refs.push_back(*ref);
        }
        return true;
    }
};

bool startsWithAt(std::string_view text, std::size_t at, std::string_view prefix) {
    return text.substr(at, prefix.size()) == prefix;
}

}  // namespace

bool PropertyListDepth::isWithin(std::string_view bytes, std::size_t maximum) {
    if (bytes.starts_with("bplist")) {
        return binaryWithin(bytes, maximum);
    }
    std::size_t first = bytes.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && bytes[first] == '<') {
        return xmlWithin(bytes, maximum);
    }
    return bracketsWithin(bytes, maximum);
}

bool PropertyListDepth::xmlWithin(std::string_view bytes, std::size_t maximum) {
    std::size_t depth = 0;
    std::size_t at = 0;
    while ((at = bytes.find('<', at)) != std::string_view::npos) {
        if (startsWithAt(bytes, at, "<!--")) {
            std::size_t end = bytes.find("-->", at);
            at = end == std::string_view::npos ? bytes.size() : end + 3;
            continue;
        }
        if (startsWithAt(bytes, at, "<![CDATA[")) {
            std::size_t end = bytes.find("]]>", at);
            at = end == std::string_view::npos ? bytes.size() : end + 3;
            continue;
        }
        std::size_t close = bytes.find('>', at);
        if (close == std::string_view::npos) {
            break;
        }
        std::string_view tag = bytes.substr(at + 1, close - at - 1);
        at = close + 1;
        bool closing = tag.starts_with('/');
        std::string_view name = closing ? tag.substr(1) : tag;
        name = name.substr(0, std::min(name.find_first_of(" \t\r\n/"), name.size()));
        if (name != "dict" && name != "array") {
            continue;
        }
        if (closing) {
            depth -= depth > 0 ? 1 : 0;
        } else if (!tag.ends_with('/') && ++depth > maximum) {
            return false;
        }
    }
    return true;
}

bool PropertyListDepth::bracketsWithin(std::string_view bytes, std::size_t maximum) {
    std::size_t depth = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (quoted) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == '{' || c == '[' || c == '(') {
            if (++depth > maximum) {
                return false;
            }
        } else if ((c == '}' || c == ']' || c == ')') && depth > 0) {
            --depth;
        }
    }
    return true;
}

bool PropertyListDepth::binaryWithin(std::string_view bytes, std::size_t maximum) {
    if (bytes.size() < 40) {
        return true;  // too short to hold a container; the parser refuses it
    }
    std::size_t trailer = bytes.size() - 32;
    BinaryList list;
    list.bytes = bytes;
    list.offsetSize = static_cast<unsigned char>(bytes[trailer + 6]);
    list.refSize = static_cast<unsigned char>(bytes[trailer + 7]);
    auto count = bigEndian(bytes, trailer + 8, 8);
    auto top = bigEndian(bytes, trailer + 16, 8);
    auto table = bigEndian(bytes, trailer + 24, 8);
    if (!count || !top || !table || list.offsetSize == 0 || list.offsetSize > 8 || list.refSize == 0 ||
        list.refSize > 8 || *count > bytes.size() || *top >= *count || *table > bytes.size()) {
        return false;
    }
    list.objectCount = *count;
    list.offsetTable = *table;
    // Longest path from the top object, each object measured once; an object met again on
    // the path being walked is a loop.
    enum : std::uint8_t { unvisited, walking, measured };
    std::vector<std::uint8_t> state(*count, unvisited);
    std::vector<std::size_t> depthBelow(*count, 0);
    struct Frame {
        std::uint64_t object;
        std::vector<std::uint64_t> refs;
        std::size_t next = 0;
    };
    std::vector<Frame> path;
    auto enter = [&](std::uint64_t object) {
        Frame frame{object, {}, 0};
        if (!list.children(object, frame.refs)) {
            return false;
        }
        state[object] = walking;
        path.push_back(std::move(frame));
        return path.size() <= maximum;
    };
    if (!enter(*top)) {
        return false;
    }
    while (!path.empty()) {
        Frame& frame = path.back();
        if (frame.next == frame.refs.size()) {
            std::size_t deepest = 0;
            for (std::uint64_t child : frame.refs) {
                deepest = std::max(deepest, depthBelow[child] + 1);
            }
            depthBelow[frame.object] = deepest;
            state[frame.object] = measured;
            if (path.size() + deepest > maximum + 1) {
                return false;
            }
            path.pop_back();
            continue;
        }
        std::uint64_t child = frame.refs[frame.next++];
        if (state[child] == walking) {
            return false;
        }
        if (state[child] == unvisited && !enter(child)) {
            return false;
        }
    }
    return true;
}

}  // namespace harbormind
