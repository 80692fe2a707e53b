#include <gtest/gtest.h>

#include <unordered_set>

#include "support/CaseInsensitiveString.h"
#include "support/TextCase.h"
#include "support/ShellQuote.h"

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
}  // namespace harbormind
