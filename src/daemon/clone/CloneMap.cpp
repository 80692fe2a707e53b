#include "daemon/clone/CloneMap.h"

#include <charconv>
#include <sstream>
#include <string_view>

namespace harbormind::clone {
namespace {

constexpr std::string_view header = "kestrane-clone-map 1";
constexpr std::string_view trailer = "end";

std::optional<std::uint64_t> number(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<ByteRange> range(std::string_view text) {
    auto space = text.find(' ');
    if (space == std::string_view::npos) {
        return std::nullopt;
    }
    auto begin = number(text.substr(0, space));
    auto end = number(text.substr(space + 1));
    if (!begin || !end || *begin >= *end) {
        return std::nullopt;
    }
    return ByteRange{*begin, *end};
}

void writeRanges(std::ostringstream& out, const char* key, const ByteRangeSet& set) {
    for (const ByteRange& r : set.ranges()) {
        out << key << ' ' << r.begin << ' ' << r.end << '\n';
    }
}

// Applies one "key value" line; false when the line is not understood.
bool apply(CloneMap& map, std::string_view key, std::string_view value) {
    if (key == "destination") {
        map.destinationIdentity = value;
    } else if (key == "source") {
        map.sourceIdentity = value;
    } else if (key == "source-name") {
        map.sourceName = value;
    } else if (key == "source-size") {
        auto size = number(value);
        if (!size) {
            return false;
        }
        map.sourceSize = *size;
    } else if (key == "done" || key == "unreadable") {
        auto r = range(value);
        if (!r || r->end > map.sourceSize) {
            return false;
        }
        (key == "done" ? map.done : map.unreadable).add(*r);
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::string CloneMap::serialize() const {
    std::ostringstream out;
    out << header << '\n';
    out << "destination " << destinationIdentity << '\n';
    out << "source " << sourceIdentity << '\n';
    out << "source-name " << sourceName << '\n';
    out << "source-size " << sourceSize << '\n';
    writeRanges(out, "done", done);
    writeRanges(out, "unreadable", unreadable);
    out << trailer << '\n';
    return out.str();
}

std::optional<CloneMap> CloneMap::parse(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != header) {
        return std::nullopt;
    }
    CloneMap map;
    bool ended = false;
    while (std::getline(in, line)) {
        if (ended) {
            return std::nullopt;
        }
        if (line == trailer) {
            ended = true;
            continue;
        }
        auto space = line.find(' ');
        if (space == std::string::npos) {
            return std::nullopt;
        }
        std::string_view view(line);
        if (!apply(map, view.substr(0, space), view.substr(space + 1))) {
            return std::nullopt;
        }
    }
    if (!ended || map.destinationIdentity.empty() || map.sourceIdentity.empty() || map.sourceSize == 0) {
        return std::nullopt;
    }
    return map;
}

}  // namespace harbormind::clone
