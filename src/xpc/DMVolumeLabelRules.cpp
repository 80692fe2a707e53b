#include "xpc/DMVolumeLabelRules.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "support/Utf8Text.h"

namespace harbormind {
namespace {

// The code points of UTF-8 text; none when it is not UTF-8.
std::optional<std::vector<char32_t>> codePoints(const std::string& text) {
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8Text::sequenceLength(text, i);
        if (length == 0) {
            return std::nullopt;
        }
        points.push_back(Utf8Text::codePointAt(text, i, length));
        i += length;
    }
    return points;
}

std::size_t utf16Units(const std::vector<char32_t>& points) {
    std::size_t units = 0;
    for (char32_t point : points) {
        units += point > 0xFFFF ? 2 : 1;
    }
    return units;
}

bool hasControl(const std::vector<char32_t>& points) {
    for (char32_t point : points) {
        if (point < 0x20 || point == 0x7F) {
            return true;
        }
    }
    return false;
}

std::string firstOf(const std::vector<char32_t>& points, const std::u32string& forbidden) {
    for (char32_t point : points) {
        if (forbidden.find(point) != std::u32string::npos) {
            return std::string(1, static_cast<char>(point));
        }
    }
    return {};
}

DMVolumeLabelCheck refuse(std::string reason) {
    return {false, {}, std::move(reason)};
}

DMVolumeLabelCheck checkFat(const std::string& name, const std::vector<char32_t>& points) {
    std::string label;
    for (char32_t point : points) {
        if (point >= 0x80) {
            return refuse("A FAT32 name can only use English letters, digits, spaces and simple punctuation.");
        }
        label += static_cast<char>(point >= 'a' && point <= 'z' ? point - 'a' + 'A' : point);
    }
    if (auto bad = firstOf(points, U"\"*+,./:;<=>?[\\]|"); !bad.empty()) {
        return refuse("A FAT32 name cannot contain " + bad + ".");
    }
    if (label.size() > 11) {
        return refuse("A FAT32 name can be at most 11 characters long.");
    }
    (void)name;
    return {true, label, {}};
}

}  // namespace

DMVolumeLabelCheck DMVolumeLabelRules::check(DMEraseFileSystem fileSystem, const std::string& name) {
    auto points = codePoints(name);
    if (!points) {
        return refuse("The name is not valid text.");
    }
    if (hasControl(*points)) {
        return refuse("The name cannot contain control characters such as line breaks or tabs.");
    }
    switch (fileSystem) {
    case DMEraseFileSystem::ext4:
    case DMEraseFileSystem::luks2Ext4:
        if (name.size() > 16) {
            return refuse("An ext4 name can be at most 16 bytes long (letters outside English take two or more).");
        }
        return {true, name, {}};
    case DMEraseFileSystem::exfat:
        if (auto bad = firstOf(*points, U"\"*/:<>?\\|"); !bad.empty()) {
            return refuse("An exFAT name cannot contain " + bad + ".");
        }
        if (utf16Units(*points) > 11) {
            return refuse("An exFAT name can be at most 11 characters long.");
        }
        return {true, name, {}};
    case DMEraseFileSystem::fat32:
        return checkFat(name, *points);
    case DMEraseFileSystem::ntfs:
        if (utf16Units(*points) > 32) {
            return refuse("An NTFS name can be at most 32 characters long.");
        }
        return {true, name, {}};
    }
    return refuse("Unknown file system.");
}

}  // namespace harbormind
