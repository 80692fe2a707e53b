#include <gtest/gtest.h>

#include <unordered_set>

#include "support/CaseInsensitiveString.h"
#include "support/ShellQuote.h"

namespace harbormind {
namespace {

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
