#include <gtest/gtest.h>

#include "app/DMLaunchOptions.h"

namespace harbormind {
namespace {

std::optional<DMLaunchOptions> parse(std::vector<std::string> words, std::string* error = nullptr) {
    words.insert(words.begin(), "harbormind");
    std::string message;
    auto options = DMLaunchOptions::parse(words, message);
    if (error != nullptr) {
        *error = message;
    }
    return options;
}

TEST(LaunchOptions, LinuxByDefaultAndSimulatedWithAScenario) {
    auto plain = parse({});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->platform, "linux");
    EXPECT_FALSE(plain->install);

    auto simulated = parse({"--platform", "sim", "--scenario", "laptop.json", "--select", "disk3s1"});
    ASSERT_TRUE(simulated);
    EXPECT_EQ(simulated->platform, "sim");
    EXPECT_EQ(simulated->scenario, "laptop.json");
    EXPECT_EQ(simulated->select, "disk3s1");
    EXPECT_TRUE(parse({"-install"})->install);
}

TEST(LaunchOptions, MistakesAreExplained) {
    std::string error;
    EXPECT_FALSE(parse({"--platform", "sim"}, &error));
    EXPECT_EQ(error, "--platform sim needs --scenario FILE");
    EXPECT_FALSE(parse({"--platform", "mac"}, &error));
    EXPECT_FALSE(parse({"--scenario", "laptop.json"}, &error));
    EXPECT_FALSE(parse({"--screenshot"}, &error));
    EXPECT_EQ(error, "--screenshot needs a value");
    EXPECT_FALSE(parse({"--verbose"}, &error));
}

TEST(LaunchOptions, OursAreToldApartFromQtOptions) {
    EXPECT_TRUE(DMLaunchOptions::isOwnOption("--platform"));
    EXPECT_TRUE(DMLaunchOptions::isOwnOption("-install"));
    EXPECT_FALSE(DMLaunchOptions::isOwnOption("-platform"));
    EXPECT_FALSE(DMLaunchOptions::isOwnOption("-style"));
    EXPECT_FALSE(DMLaunchOptions::takesValue("-install"));
}

}  // namespace
}  // namespace harbormind
