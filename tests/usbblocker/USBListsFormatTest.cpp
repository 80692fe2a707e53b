#include "usbblocker/USBListsFormat.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "support/Utf8Text.h"

namespace harbormind {
namespace {

using Lists = std::vector<Drive>;

USBLists parse(const std::string& text) {
    return USBListsFormat::parse(text);
}

TEST(USBListsFormatTest, ReadsBothListsInFileOrderSkippingBlankLines) {
    auto lists = parse("A:5__white\n\nB:7__black\nC:9__white\nA:5__white");
    EXPECT_EQ(lists.whiteList, (Lists{{"A", 5}, {"C", 9}, {"A", 5}}));
    EXPECT_EQ(lists.blackList, (Lists{{"B", 7}}));
}

TEST(USBListsFormatTest, ALineWithoutTheWhiteMarkerIsBlackAndStillLosesSevenCharacters) {
    auto lists = parse("Disk:12345678\nOther:4__plain\n");
    EXPECT_TRUE(lists.whiteList.empty());
    EXPECT_EQ(lists.blackList, (Lists{{"Disk", 1}, {"Other", 4}}));
}

TEST(USBListsFormatTest, TheWhiteMarkerAnywhereMakesAWhiteEntry) {
    auto lists = parse("__whiteName:3__black\n");
    EXPECT_EQ(lists.whiteList, (Lists{{"__whiteName", 3}}));
}

TEST(USBListsFormatTest, EmptyPiecesAreDroppedAndLaterPiecesIgnored) {
    auto lists = parse("X::3__white\n::Y:::4:extra__black\n");
    EXPECT_EQ(lists.whiteList, (Lists{{"X", 3}}));
    EXPECT_EQ(lists.blackList, (Lists{{"Y", 4}}));
}

TEST(USBListsFormatTest, SizesReadAsSignedDecimalOrZero) {
    auto lists = parse(
        "A:abc__white\nB:+12__white\nC:-4__white\nD:99999999999999999999__white\nE:+-5__white\nF:1 2__white\n"
        "G:-9223372036854775808__white\nH:+__white\nI:0x10__white\n");
    EXPECT_EQ(lists.whiteList, (Lists{{"A", 0},
                                      {"B", 12},
                                      {"C", -4},
                                      {"D", 0},
                                      {"E", 0},
                                      {"F", 0},
                                      {"G", std::numeric_limits<std::int64_t>::min()},
                                      {"H", 0},
                                      {"I", 0}}));
}

TEST(USBListsFormatTest, LinesWithFewerThanTwoPiecesAreSkipped) {
    // C:9 loses all of itself to the cut; the others keep only a name or nothing.
    auto lists = parse("C:9\nPhotos__white\n:5__white\nshortline\n:::::::__black\nKept:1__white\n");
    EXPECT_EQ(lists.whiteList, (Lists{{"Kept", 1}}));
    EXPECT_TRUE(lists.blackList.empty());
}

// One bad byte must not let every blocked disk through: only its own line is skipped.
TEST(USBListsFormatTest, ALineOfInvalidUTF8IsSkippedAlone) {
    for (const std::string bad : {"\xff", "\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe2\x82"}) {
        auto lists = parse("A:5__white\n" + bad + ":1__black\nEvil:3__black\n");
        EXPECT_EQ(lists.whiteList, (Lists{{"A", 5}})) << testing::PrintToString(bad);
        EXPECT_EQ(lists.blackList, (Lists{{"Evil", 3}}));
    }
    EXPECT_EQ(parse("Caf\xc3\xa9:2__white\n").whiteList, (Lists{{"Caf\xc3\xa9", 2}}));
}

TEST(USBListsFormatTest, NulBytesAreOrdinaryCharacters) {
    std::string text("A\0B:5__white\n\0\n", 15);
    auto lists = parse(text);
    EXPECT_EQ(lists.whiteList, (Lists{{std::string("A\0B", 3), 5}}));
    EXPECT_TRUE(lists.blackList.empty());  // the lone NUL line keeps no piece
}

TEST(USBListsFormatTest, TheCutCountsUserPerceivedCharacters) {
    const std::string acute = "e\xcc\x81";                     // e + combining acute: one character
    const std::string flag = "\xf0\x9f\x87\xa9\xf0\x9f\x87\xaa";  // two regional indicators: one flag
    const std::string family =
        "\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x91\xa7";  // joined emoji
    std::string combining = "Acute:12";
    std::string flags = "Flag:3";
    std::string joined = "Family:4";
    for (int i = 0; i < 7; ++i) {
        combining += acute;
        flags += flag;
        joined += family;
    }
    auto lists = parse(combining + "\n" + flags + "\n" + joined + "\n");
    EXPECT_EQ(lists.blackList, (Lists{{"Acute", 12}, {"Flag", 3}, {"Family", 4}}));
    EXPECT_EQ(USBListsFormat::dropLastCharacters("ab" + acute, 1), "ab");
    EXPECT_EQ(USBListsFormat::dropLastCharacters(acute, 3), "");
    EXPECT_EQ(USBListsFormat::dropLastCharacters("\xcc\x81\xcc\x81", 1), "");
}

TEST(USBListsFormatTest, OnlyNamesThatReadBackAsThemselvesCanBeStored) {
    EXPECT_TRUE(USBListsFormat::canStore("SanDisk Cruzer Blade"));
    EXPECT_TRUE(USBListsFormat::canStore("X__black"));
    EXPECT_TRUE(USBListsFormat::canStore("Caf\xc3\xa9"));
    EXPECT_FALSE(USBListsFormat::canStore("two\nlines"));
    EXPECT_FALSE(USBListsFormat::canStore("with:colon"));
    EXPECT_FALSE(USBListsFormat::canStore("X__white"));
    EXPECT_FALSE(USBListsFormat::canStore("bad\xff"));
}

TEST(USBListsFormatTest, StorableEntriesReadBackExactly) {
    std::mt19937 random(7);
    const std::string alphabet = "abcXYZ 09_-.\xc3\xa9";
    for (int round = 0; round < 300; ++round) {
        USBLists written;
        std::string text;
        int count = static_cast<int>(random() % 6);
        for (int i = 0; i < count; ++i) {
            std::string name;
            int length = 1 + static_cast<int>(random() % 12);
            while (static_cast<int>(name.size()) < length) {
                char c = alphabet[random() % (alphabet.size() - 2)];
                name += c;
            }
            if (!USBListsFormat::canStore(name)) {
                continue;
            }
            Drive drive{name, static_cast<std::int64_t>(random() % 4000) - 2000};
            bool white = random() % 2 == 0;
            (white ? written.whiteList : written.blackList).push_back(drive);
            text += USBListsFormat::line(drive, white ? USBListKind::White : USBListKind::Black);
        }
        auto read = parse(text);
        EXPECT_EQ(read.whiteList, written.whiteList) << text;
        EXPECT_EQ(read.blackList, written.blackList) << text;
    }
}

// Random bytes, biased towards the characters the format cares about: no crash, no hang, and
// no entry that the format could not have produced.
TEST(USBListsFormatTest, FuzzRandomBytes) {
    std::mt19937 random(20261206);
    const std::vector<std::string> pieces = {":", "\n", "_", "__white", "__black", "-", "+", "5", "A",
                                             std::string(1, '\0'), "\xff", "\xc3\xa9", "\xcc\x81",
                                             "\xe2\x80\x8d", "\xf0\x9f\x87\xa9", "\xf0", "\r"};
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        int length = static_cast<int>(random() % 64);
        for (int i = 0; i < length; ++i) {
            if (random() % 3 == 0) {
                text += static_cast<char>(random() % 256);
            } else {
                text += pieces[random() % pieces.size()];
            }
        }
        auto lists = parse(text);
        for (const auto* list : {&lists.whiteList, &lists.blackList}) {
            for (const auto& drive : *list) {
                ASSERT_FALSE(drive.name.empty());
                ASSERT_EQ(drive.name.find(':'), std::string::npos);
                ASSERT_EQ(drive.name.find('\n'), std::string::npos);
                ASSERT_TRUE(Utf8Text::isValid(drive.name));
            }
        }
    }
}

TEST(USBListsFormatTest, VeryLongLinesParseWhole) {
    const std::size_t length = 4u << 20;
    std::string hugeName(length, 'N');
    std::string noColon(length, 'x');
    std::string colons(length, ':');
    auto lists = parse(hugeName + ":5__white\n" + noColon + "\n" + colons + "__white\n" + colons + "7:8\n");
    ASSERT_EQ(lists.whiteList.size(), 1u);
    EXPECT_EQ(lists.whiteList[0].name.size(), length);
    EXPECT_EQ(lists.whiteList[0].size, 5);
    EXPECT_TRUE(lists.blackList.empty());  // the cut leaves only colons
}

}  // namespace
}  // namespace harbormind
