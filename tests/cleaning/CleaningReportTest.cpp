#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "TempTree.h"
#include "cleaning/CleaningReport.h"
#include "cleaning/FolderScanner.h"
#include "platform/linux/files/LinuxDirectoryWalker.h"

namespace harbormind {
namespace {

TEST(CleaningReportTest, UsageListsTotalsThenLargestEntriesAndJsonHoldsTheTree) {
    test::TempTree tree;
    tree.file("small", 10);
    tree.file("big/inner", 5000);
    tree.file(std::string("bad-\xff-name"), 1);
    LinuxDirectoryWalker walker;
    auto top = FolderScanner::scanPath(walker, tree.path(), {});

    std::string text = CleaningReport::usageText(*top, 2);
    EXPECT_NE(text.find("size: 5 KB\nfiles: 3\nfolders: 1\n"), std::string::npos) << text;
    // One size format across the program: decimal units as the window shows them.
    EXPECT_NE(text.find("      5 KB  big/\n    10 bytes  small\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("bad-"), std::string::npos);  // only the two largest

    // A name that is not UTF-8 does not break the JSON output.
    auto json = nlohmann::json::parse(CleaningReport::usageJson(*top, std::nullopt));
    EXPECT_EQ(json["size"], 5011);
    ASSERT_EQ(json["children"].size(), 3U);
    EXPECT_EQ(json["children"][0]["children"][0]["path"], tree.path("big/inner"));
    auto shallow = nlohmann::json::parse(CleaningReport::usageJson(*top, 0));
    EXPECT_FALSE(shallow.contains("children"));
}

}  // namespace
}  // namespace harbormind
