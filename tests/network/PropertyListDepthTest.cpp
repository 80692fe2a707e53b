#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <string>

#include "network/NetworkDriveArchive.h"
#include "platform/PropertyListDepth.h"

namespace harbormind {
namespace {

std::string nestedXml(std::size_t depth) {
    std::string text = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>drives</key>";
    for (std::size_t i = 0; i < depth; ++i) {
        text += "<array>";
    }
    for (std::size_t i = 0; i < depth; ++i) {
        text += "</array>";
    }
    return text + "</dict></plist>";
}

std::string nestedBinary(std::size_t depth) {
    plist_t root = plist_new_array();
    plist_t inner = root;
    for (std::size_t i = 1; i < depth; ++i) {
        plist_t next = plist_new_array();
        plist_array_append_item(inner, next);
        inner = next;
    }
    plist_array_append_item(inner, plist_new_string("leaf"));
    char* bytes = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    std::string result(bytes, length);
    plist_to_bin_free(bytes);
    plist_free(root);
    return result;
}

TEST(PropertyListDepthTest, MeasuresEveryFormWithoutBuildingIt) {
    EXPECT_TRUE(PropertyListDepth::isWithin(nestedXml(20)));
    EXPECT_FALSE(PropertyListDepth::isWithin(nestedXml(600)));
    EXPECT_TRUE(PropertyListDepth::isWithin("<plist><dict><key>a</key><array/><array/><dict/></dict></plist>", 2));
    // Tags in comments and data sections are not structure.
    EXPECT_TRUE(PropertyListDepth::isWithin("<plist><!-- <array><array><array> --><dict/></plist>", 1));

    EXPECT_TRUE(PropertyListDepth::isWithin(nestedBinary(20)));
    EXPECT_FALSE(PropertyListDepth::isWithin(nestedBinary(600)));

    EXPECT_TRUE(PropertyListDepth::isWithin("{\"a\": [1, {\"b\": \"[[[[\"}]}", 3));
    EXPECT_FALSE(PropertyListDepth::isWithin(std::string(600, '[') + std::string(600, ']')));
    EXPECT_FALSE(PropertyListDepth::isWithin(std::string(600, '(')));
}

// A saved-drives file nested 200,000 levels deep crashed the program at every start; now it
// is damaged, and nothing is handed to the parser.
TEST(PropertyListDepthTest, ADeeplyNestedSavedDrivesFileIsDamaged) {
    std::string text = nestedXml(200000);
    NetworkDriveArchive::Bytes bytes(text.begin(), text.end());
    NetworkDriveArchive::Contents contents = NetworkDriveArchive::decode(bytes);
    EXPECT_TRUE(contents.damaged);
    EXPECT_TRUE(contents.drives.empty());
}

}  // namespace
}  // namespace harbormind
