#include <gtest/gtest.h>

#include "app/shell/DMLaunchOptions.h"

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

TEST(LaunchOptions, HelpWinsOverEverythingAndListsEveryOption) {
    // Even after an option that would be refused on its own.
    auto help = parse({"--platform", "sim", "--help"});
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->help);
    EXPECT_TRUE(parse({"-h"})->help);
    EXPECT_TRUE(DMLaunchOptions::isOwnOption("--help"));
    const std::string text = DMLaunchOptions::helpText();
    for (const char* option : {"--platform", "--scenario", "--screenshot", "--select", "--palette", "-install", "--help"}) {
        EXPECT_NE(text.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(parse({"--palette", "dark"})->palette, "dark");
    EXPECT_FALSE(parse({"--palette", "purple"}));
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
