#include "usbblocker/USBListsFormat.h"

#include <charconv>

#include "support/Utf8Text.h"

namespace harbormind {
namespace {

constexpr char32_t zeroWidthJoiner = 0x200D;

bool inRange(char32_t c, char32_t low, char32_t high) {
    return c >= low && c <= high;
}

// Code points that extend the character before them rather than starting one.
bool isExtending(char32_t c) {
    return inRange(c, 0x0300, 0x036F) || inRange(c, 0x0483, 0x0489) || inRange(c, 0x0591, 0x05BD) ||
           inRange(c, 0x0610, 0x061A) || inRange(c, 0x064B, 0x065F) || c == 0x0670 || inRange(c, 0x06D6, 0x06ED) ||
           inRange(c, 0x0900, 0x0903) || inRange(c, 0x093A, 0x094F) || inRange(c, 0x0951, 0x0957) ||
           inRange(c, 0x0962, 0x0963) || inRange(c, 0x0981, 0x0983) || inRange(c, 0x09BC, 0x09D7) ||
           c == 0x0E31 || inRange(c, 0x0E34, 0x0E3A) || inRange(c, 0x0E47, 0x0E4E) || inRange(c, 0x1AB0, 0x1AFF) ||
           inRange(c, 0x1DC0, 0x1DFF) || c == 0x200C || inRange(c, 0x20D0, 0x20FF) || inRange(c, 0x302A, 0x302F) ||
           inRange(c, 0x3099, 0x309A) || inRange(c, 0xFE00, 0xFE0F) || inRange(c, 0xFE20, 0xFE2F) ||
           inRange(c, 0x1F3FB, 0x1F3FF) || inRange(c, 0xE0020, 0xE007F) || inRange(c, 0xE0100, 0xE01EF);
}

bool isRegionalIndicator(char32_t c) {
    return inRange(c, 0x1F1E6, 0x1F1FF);
}

// Reads the code point that ends at `end` in valid UTF-8 text; moves `end` to its start.
char32_t previousCodePoint(std::string_view text, std::size_t& end) {
    std::size_t start = end - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
        --start;
    }
    const char32_t value = Utf8Text::codePointAt(text, start, end - start);
    end = start;
    return value;
}

char32_t peekPreviousCodePoint(std::string_view text, std::size_t end) {
    return previousCodePoint(text, end);
}

// Moves `end` back over one user-perceived character.
void dropOneCharacter(std::string_view text, std::size_t& end) {
    char32_t c = previousCodePoint(text, end);
    for (;;) {
        // Marks and joiners belong to what comes before them.
        while ((isExtending(c) || c == zeroWidthJoiner) && end > 0) {
            c = previousCodePoint(text, end);
        }
        if (isRegionalIndicator(c) && end > 0 && isRegionalIndicator(peekPreviousCodePoint(text, end))) {
            previousCodePoint(text, end);
            return;
        }
        if (c == '\n' && end > 0 && peekPreviousCodePoint(text, end) == '\r') {
            previousCodePoint(text, end);
            return;
        }
        // A joiner before this character glues it to the one before (emoji sequences).
        if (end > 0 && peekPreviousCodePoint(text, end) == zeroWidthJoiner) {
            previousCodePoint(text, end);
            if (end == 0) {
                return;
            }
            c = previousCodePoint(text, end);
            continue;
        }
        return;
    }
}

}  // namespace

USBLists USBListsFormat::parse(std::string_view bytes) {
    USBLists lists;
    std::size_t lineStart = 0;
    while (lineStart < bytes.size()) {
        std::size_t lineEnd = bytes.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) {
            lineEnd = bytes.size();
        }
        std::string_view line = bytes.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        // A line that is not text is skipped alone; the others still count.
        if (line.empty() || !Utf8Text::isValid(line)) {
            continue;
        }
        const bool white = line.find(whiteMarker) != std::string_view::npos;
        std::string_view rest = dropLastCharacters(line, markerLength);

        // The first two non-empty pieces between colons; later pieces are ignored.
        std::string_view pieces[2];
        std::size_t found = 0;
        std::size_t pieceStart = 0;
        while (found < 2 && pieceStart <= rest.size()) {
            std::size_t colon = rest.find(':', pieceStart);
            if (colon == std::string_view::npos) {
                colon = rest.size();
            }
            if (colon > pieceStart) {
                pieces[found++] = rest.substr(pieceStart, colon - pieceStart);
            }
            pieceStart = colon + 1;
        }
        if (found < 2) {
            continue;
        }
        Drive drive{std::string(pieces[0]), parseInteger(pieces[1]).value_or(0)};
        (white ? lists.whiteList : lists.blackList).push_back(std::move(drive));
    }
    return lists;
}

std::string USBListsFormat::line(const Drive& drive, USBListKind kind) {
    std::string text = drive.name;
    text += ':';
    text += std::to_string(drive.size);
    text += kind == USBListKind::White ? whiteMarker : blackMarker;
    text += '\n';
    return text;
}

bool USBListsFormat::canStore(std::string_view name) {
    return Utf8Text::isValid(name) && name.find('\n') == std::string_view::npos &&
           name.find(':') == std::string_view::npos && name.find(whiteMarker) == std::string_view::npos;
}

std::string_view USBListsFormat::dropLastCharacters(std::string_view text, std::size_t count) {
    std::size_t end = text.size();
    for (std::size_t dropped = 0; dropped < count && end > 0; ++dropped) {
        dropOneCharacter(text, end);
    }
    return text.substr(0, end);
}

std::optional<std::int64_t> USBListsFormat::parseInteger(std::string_view text) {
    std::size_t start = 0;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        start = 1;
    }
    if (start == text.size()) {
        return std::nullopt;
    }
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
    }
    // from_chars reads the minus sign itself but not a plus sign.
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    const char* last = text.data() + text.size();
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

}  // namespace harbormind
