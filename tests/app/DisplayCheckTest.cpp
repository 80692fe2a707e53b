#include <gtest/gtest.h>

#include <map>

#include "app/shell/DMDisplayCheck.h"

namespace harbormind {
namespace {

DMDisplayCheck::Environment environment(std::map<std::string, std::string> values) {
    return [values](const char* name) -> const char* {
        auto it = values.find(name);
        return it == values.end() ? nullptr : it->second.c_str();
    };
}

TEST(DisplayCheckTest, WithoutAnyDisplayItSaysWhatIsMissingAndWhatToDo) {
    auto missing = DMDisplayCheck::missingDisplay(environment({{"DISPLAY", ""}}), {"harbormind"});
    ASSERT_TRUE(missing);
    EXPECT_NE(missing->find("DISPLAY nor WAYLAND_DISPLAY"), std::string::npos);
    EXPECT_NE(missing->find("harbormindctl"), std::string::npos);
    EXPECT_EQ(missing->find('\n'), std::string::npos);
}

TEST(DisplayCheckTest, AnyDisplayOrAChosenQtPlatformIsEnough) {
    EXPECT_FALSE(DMDisplayCheck::missingDisplay(environment({{"DISPLAY", ":0"}}), {}));
    EXPECT_FALSE(DMDisplayCheck::missingDisplay(environment({{"WAYLAND_DISPLAY", "wayland-0"}}), {}));
    EXPECT_FALSE(DMDisplayCheck::missingDisplay(environment({{"QT_QPA_PLATFORM", "offscreen"}}), {}));
    EXPECT_FALSE(DMDisplayCheck::missingDisplay(environment({}), {"harbormind", "-platform", "offscreen"}));
}

}  // namespace
}  // namespace harbormind
