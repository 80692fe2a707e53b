#include <gtest/gtest.h>

#include <unordered_set>

#include "support/CaseInsensitiveString.h"
#include "support/PrintableText.h"
#include "support/ShellQuote.h"
#include "support/TextCase.h"

namespace harbormind {
namespace {

// The search filter and case-insensitive names fold every letter, not only ASCII ones.
TEST(TextCase, FoldsUnicodeCase) {
    EXPECT_TRUE(TextCase::containsIgnoringCase("FOTOS M\xC3\x9CLLER", "m\xC3\xbcller"));
    EXPECT_TRUE(TextCase::equalsIgnoringCase("STRASSE", "stra\xC3\x9F" "e"));
    EXPECT_TRUE(TextCase::equalsIgnoringCase("\xCE\xA3\xCE\x99\xCE\xA3", "\xCF\x83\xCE\xB9\xCF\x82"));  // ΣΙΣ, σις
    EXPECT_FALSE(TextCase::containsIgnoringCase("FOTOS MULLER", "m\xC3\xbcller"));
    CaseInsensitiveString upper("\xC3\x89T\xC3\x89");  // ÉTÉ
    EXPECT_TRUE(upper == CaseInsensitiveString("\xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(std::hash<CaseInsensitiveString>{}(upper), std::hash<CaseInsensitiveString>{}("\xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(upper.value(), "\xC3\x89T\xC3\x89");
    // Bytes that are not UTF-8 are kept, ASCII letters folded.
    EXPECT_EQ(TextCase::fold("Caf\xE9 BAR"), "caf\xE9 bar");
    // ASCII-only text folds as before (device names, keys).
    EXPECT_EQ(TextCase::fold("Disk2S1"), "disk2s1");
}

TEST(CaseInsensitiveString, EqualAndHashAlikeButKeepTheirOwnCase) {
    CaseInsensitiveString upper("Macintosh HD");
    CaseInsensitiveString lower = "macintosh hd";
    EXPECT_EQ(upper, lower);
    EXPECT_EQ(std::hash<CaseInsensitiveString>{}(upper), std::hash<CaseInsensitiveString>{}(lower));
    EXPECT_EQ(upper.description(), "Macintosh HD");
    EXPECT_EQ(lower.description(), "macintosh hd");
    std::unordered_set<CaseInsensitiveString> set{upper};
    EXPECT_EQ(set.count(lower), 1U);
    EXPECT_FALSE(CaseInsensitiveString("disk1") == CaseInsensitiveString("disk2"));
}

TEST(ShellQuote, QuotesEveryValueIntoOneWord) {
    EXPECT_EQ(ShellQuote::quote("disk2s1"), "'disk2s1'");
    EXPECT_EQ(ShellQuote::quote(""), "''");
    EXPECT_EQ(ShellQuote::quote("it's"), "'it'\\''s'");
    EXPECT_EQ(ShellQuote::quote("$(rm -rf ~)"), "'$(rm -rf ~)'");
}

}  // namespace
// Regression: a label could carry a line break and terminal escape sequences to the screen.
TEST(PrintableText, ControlCharactersAndBrokenBytesAreEscapedAndLettersKept) {
    EXPECT_EQ(PrintableText::escaped("Fotos M\xC3\xBCller"), "Fotos M\xC3\xBCller");
    EXPECT_EQ(PrintableText::escaped("Evil\nsda1  fake\x1B[2J"), "Evil\\x0Asda1  fake\\x1B[2J");
    EXPECT_EQ(PrintableText::escaped("Caf\xE9"), "Caf\\xE9");
    EXPECT_EQ(PrintableText::escaped("a\\b"), "a\\\\b");
    EXPECT_EQ(PrintableText::escaped("\xC2\x9B" "31m"), "\\xC2\\x9B31m") << "a C1 control character";
    EXPECT_EQ(PrintableText::escaped("\xE6\x97\xA5\xE6\x9C\xAC"), "\xE6\x97\xA5\xE6\x9C\xAC");
}

TEST(PrintableText, DisplayWidthCountsColumnsNotBytes) {
    EXPECT_EQ(PrintableText::displayWidth("disk2s1"), 7U);
    EXPECT_EQ(PrintableText::displayWidth("M\xC3\xBCller"), 6U);
    EXPECT_EQ(PrintableText::displayWidth("\xE6\x97\xA5\xE6\x9C\xAC"), 4U) << "two wide letters";
    EXPECT_EQ(PrintableText::displayWidth("e\xCC\x81"), 1U) << "a combining accent takes no column";
}

}  // namespace harbormind
