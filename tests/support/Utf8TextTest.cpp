#include <gtest/gtest.h>

#include <string>

#include "support/Utf8Text.h"

namespace harbormind {
namespace {

TEST(Utf8Text, AcceptsEveryWellFormedBoundary) {
    for (const std::string& text : {std::string(), std::string("a\0b", 3), std::string("\x7f"), std::string("\xc2\x80"),
                                   std::string("\xdf\xbf"), std::string("\xe0\xa0\x80"), std::string("\xed\x9f\xbf"),
                                   std::string("\xee\x80\x80"), std::string("\xef\xbf\xbf"), std::string("\xf0\x90\x80\x80"),
                                   std::string("\xf4\x8f\xbf\xbf"), std::string("Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac")}) {
        EXPECT_TRUE(Utf8Text::isValid(text)) << testing::PrintToString(text);
    }
}

// The classic bad sequences, each alone and after valid text, so no check depends on the
// sequence standing first.
TEST(Utf8Text, RefusesOverlongSurrogateTooLargeTruncatedAndStrayBytes) {
    const char* bad[] = {
        "\xc0\xaf", "\xc1\xbf", "\xe0\x80\xaf", "\xe0\x9f\xbf", "\xf0\x80\x80\xaf", "\xf0\x8f\xbf\xbf",  // overlong
        "\xed\xa0\x80", "\xed\xbf\xbf", "\xed\xa0\x80\xed\xb0\x80",                                   // surrogates
        "\xf4\x90\x80\x80", "\xf5\x80\x80\x80", "\xf7\xbf\xbf\xbf", "\xf8\x88\x80\x80\x80",            // above U+10FFFF
        "\xc3", "\xe2\x82", "\xf0\x9f\x98",                                                           // truncated
        "\x80", "\xbf", "\xfe", "\xff", "\xe2\x28\xa1", "\xf0\x90\x28\xbc", "\xc3\xa9\xa9",          // stray bytes
    };
    for (const char* sequence : bad) {
        EXPECT_FALSE(Utf8Text::isValid(sequence)) << testing::PrintToString(std::string(sequence));
        EXPECT_FALSE(Utf8Text::isValid(std::string("ok ") + sequence + " ok")) << testing::PrintToString(std::string(sequence));
    }
}

TEST(Utf8Text, SequenceLengthIsZeroExactlyWhereASequenceIsBad) {
    const std::string text = "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x92\xbe\xc0\xaf\xe2\x82";
    EXPECT_EQ(Utf8Text::sequenceLength(text, 0), 1U);
    EXPECT_EQ(Utf8Text::sequenceLength(text, 1), 2U);
    EXPECT_EQ(Utf8Text::sequenceLength(text, 3), 3U);
    EXPECT_EQ(Utf8Text::sequenceLength(text, 6), 4U);
    EXPECT_EQ(Utf8Text::sequenceLength(text, 10), 0U);  // overlong
    EXPECT_EQ(Utf8Text::sequenceLength(text, 11), 0U);  // continuation byte
    EXPECT_EQ(Utf8Text::sequenceLength(text, 12), 0U);  // cut at the end
}

}  // namespace
}  // namespace harbormind
