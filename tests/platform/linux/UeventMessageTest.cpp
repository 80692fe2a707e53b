#include "platform/linux/disks/UeventMessage.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace harbormind {
namespace {

// The fields of a message, each ended by a NUL, as the kernel sends them.
std::string message(std::initializer_list<std::string> fields) {
    std::string text;
    for (const auto& field : fields) {
        text += field;
        text.push_back('\0');
    }
    return text;
}

std::optional<UeventMessage> parse(const std::string& text) {
    return UeventMessage::parse(text.data(), text.size());
}

TEST(UeventMessageTest, ParsesAKernelMessage) {
    auto parsed = parse(message({"add@/devices/virtual/block/loop3/loop3p1", "ACTION=add",
                                 "DEVPATH=/devices/virtual/block/loop3/loop3p1", "SUBSYSTEM=block", "DEVNAME=loop3p1",
                                 "DEVTYPE=partition", "PARTN=1"}));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->action, "add");
    EXPECT_TRUE(parsed->isBlockDevice());
    EXPECT_EQ(parsed->deviceName(), "loop3p1");
    EXPECT_EQ(parsed->field("PARTN"), "1");
}

TEST(UeventMessageTest, TakesTheNameFromThePathWithoutDevname) {
    auto parsed = parse(message({"change@/devices/virtual/block/loop0", "ACTION=change", "SUBSYSTEM=block"}));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->deviceName(), "loop0");
}

TEST(UeventMessageTest, RejectsWhatIsNotAKernelMessage) {
    EXPECT_FALSE(parse(message({"libudev", "\xfe\xed\xca\xfe"})));
    EXPECT_FALSE(parse(""));
    EXPECT_FALSE(parse("@/devices"));
    // A header that contradicts its ACTION field is not believed.
    EXPECT_FALSE(parse(message({"add@/devices/x", "ACTION=remove"})));
    // A field without a name is skipped, not fatal.
    auto parsed = parse(message({"remove@/devices/x", "=oops", "SUBSYSTEM=block"}));
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->isBlockDevice());
}

}  // namespace
}  // namespace harbormind
