#include "engines/clone/CloneMap.h"

#include <sodium.h>

#include <charconv>
#include <sstream>
#include <string_view>

namespace harbormind::clone {
namespace {

constexpr std::string_view header = "kestrane-clone-map 2";
constexpr std::string_view checksumKey = "checksum ";
constexpr std::string_view trailer = "end\n";

std::string checksumOf(std::string_view text) {
    unsigned char hash[16];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                       nullptr, 0);
    char hex[sizeof hash * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, hash, sizeof hash);
    return hex;
}

std::optional<std::uint64_t> number(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

bool onSector(std::uint64_t offset, const CloneMap& map) {
    return offset % map.sectorSize == 0;
}

std::optional<ByteRange> range(std::string_view text, const CloneMap& map) {
    auto space = text.find(' ');
    if (space == std::string_view::npos) {
        return std::nullopt;
    }
    auto begin = number(text.substr(0, space));
    auto end = number(text.substr(space + 1));
    if (!begin || !end || *begin >= *end || *end > map.sourceSize || !onSector(*begin, map) ||
        !onSector(*end, map)) {
        return std::nullopt;
    }
    return ByteRange{*begin, *end};
}

void writeRanges(std::ostringstream& out, const char* key, const ByteRangeSet& set) {
    for (const ByteRange& r : set.ranges()) {
        out << key << ' ' << r.begin << ' ' << r.end << '\n';
    }
}

bool validSectorSize(std::uint64_t size) {
    return size >= 512 && size <= 65536 && (size & (size - 1)) == 0;
}

// Applies one "key value" line; false when the line is not understood. The sizes come
// before the ranges, which are checked against them.
bool apply(CloneMap& map, std::string_view key, std::string_view value) {
    if (key == "destination") {
        map.destinationIdentity = value;
    } else if (key == "source") {
        map.sourceIdentity = value;
    } else if (key == "source-name") {
        map.sourceName = value;
    } else if (key == "source-sample") {
        map.sourceSample = value;
    } else if (key == "source-size" || key == "sector-size") {
        auto size = number(value);
        if (!size || (key == "sector-size" && !validSectorSize(*size))) {
            return false;
        }
        if (key == "source-size") {
            map.sourceSize = *size;
        } else {
            map.sectorSize = static_cast<std::uint32_t>(*size);
        }
    } else if (key == "done" || key == "unreadable") {
        auto r = range(value, map);
        if (!r) {
            return false;
        }
        (key == "done" ? map.done : map.unreadable).add(*r);
    } else {
        return false;
    }
    return true;
}

// The text before the checksum line when that line matches it.
std::optional<std::string_view> checkedBody(std::string_view text) {
    if (text.size() < trailer.size() || text.substr(text.size() - trailer.size()) != trailer) {
        return std::nullopt;
    }
    std::string_view rest = text.substr(0, text.size() - trailer.size());
    auto lineStart = rest.rfind('\n', rest.size() >= 2 ? rest.size() - 2 : 0);
    if (lineStart == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view body = rest.substr(0, lineStart + 1);
    std::string_view line = rest.substr(lineStart + 1);
    if (line.substr(0, checksumKey.size()) != checksumKey || line.back() != '\n') {
        return std::nullopt;
    }
    line.remove_prefix(checksumKey.size());
    line.remove_suffix(1);
    if (line != checksumOf(body)) {
        return std::nullopt;
    }
    return body;
}

}  // namespace

std::string CloneMap::serialize() const {
    std::ostringstream out;
    out << header << '\n';
    out << "destination " << destinationIdentity << '\n';
    out << "source " << sourceIdentity << '\n';
    out << "source-name " << sourceName << '\n';
    out << "source-size " << sourceSize << '\n';
    out << "sector-size " << sectorSize << '\n';
    if (!sourceSample.empty()) {
        out << "source-sample " << sourceSample << '\n';
    }
    writeRanges(out, "done", done);
    writeRanges(out, "unreadable", unreadable);
    std::string body = out.str();
    return body + std::string(checksumKey) + checksumOf(body) + "\n" + std::string(trailer);
}

std::optional<CloneMap> CloneMap::parse(const std::string& text) {
    auto body = checkedBody(text);
    if (!body) {
        return std::nullopt;
    }
    std::istringstream in{std::string(*body)};
    std::string line;
    if (!std::getline(in, line) || line != header) {
        return std::nullopt;
    }
    CloneMap map;
    while (std::getline(in, line)) {
        auto space = line.find(' ');
        if (space == std::string::npos) {
            return std::nullopt;
        }
        std::string_view view(line);
        if (!apply(map, view.substr(0, space), view.substr(space + 1))) {
            return std::nullopt;
        }
    }
    if (map.destinationIdentity.empty() || map.sourceIdentity.empty() || map.sourceSize == 0 ||
        !onSector(map.sourceSize, map)) {
        return std::nullopt;
    }
    for (const ByteRangeSet* set : {&map.done, &map.unreadable}) {
        for (const ByteRange& r : set->ranges()) {
            if (!onSector(r.begin, map) || !onSector(r.end, map)) {
                return std::nullopt;
            }
        }
    }
    return map;
}

}  // namespace harbormind::clone
