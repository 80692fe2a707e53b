#include <gtest/gtest.h>

#include <memory>

#include "network/Keychains.h"
#include "platform/KeychainStatus.h"
#include "platform/sim/SimKeychainFiles.h"

namespace harbormind {
namespace {

constexpr const char* path = "/sim/home/networkdrives.keychain";

class KeychainsTest : public testing::Test {
protected:
    std::unique_ptr<Keychains> open(const std::string& password = "Pw123456", std::optional<std::string> prefix = "DM-") {
        return std::make_unique<Keychains>(prefix, KeychainType::nonsystem(std::string("file://") + path, password),
                                           &files);
    }
    SimKeychainFiles files;
};

TEST_F(KeychainsTest, OpeningAMissingFileCreatesItAndCountsOneHolder) {
    auto keychain = open();
    EXPECT_TRUE(files.exists(path));
    EXPECT_TRUE(files.isUnlocked(path));
    EXPECT_EQ(keychain->keychainPath(), std::optional<std::string>(path));
    EXPECT_EQ(Keychains::openCount(path), 1);
    keychain.reset();
    EXPECT_EQ(Keychains::openCount(path), 0);
    EXPECT_FALSE(files.isUnlocked(path));
}

TEST_F(KeychainsTest, TheLastHolderLocksTheFile) {
    auto first = open();
    auto second = open();
    EXPECT_EQ(Keychains::openCount(path), 2);
    first.reset();
    EXPECT_TRUE(files.isUnlocked(path));
    EXPECT_EQ(Keychains::openCount(path), 1);
    EXPECT_TRUE(second->setString("secret", "k"));
    second.reset();
    EXPECT_FALSE(files.isUnlocked(path));
    EXPECT_EQ(Keychains::openCount(path), 0);
    // Reopening with the password gives the stored value back.
    EXPECT_EQ(open()->getString("k"), "secret");
}

TEST_F(KeychainsTest, ValuesAreStoredUnderPrefixedAccountsAndReplaced) {
    auto keychain = open();
    EXPECT_FALSE(keychain->getString("never").has_value());
    EXPECT_EQ(keychain->lastResultCode(), KeychainStatus::itemNotFound);
    EXPECT_TRUE(keychain->setString("one", "smb://bob@host/share", KeychainsAccessOptions::accessibleWhenUnlockedAlways));
    EXPECT_TRUE(keychain->setString("two", "smb://bob@host/share"));
    EXPECT_EQ(keychain->getString("smb://bob@host/share"), "two");
    EXPECT_EQ(keychain->lastResultCode(), KeychainStatus::success);
    ASSERT_EQ(files.items(path).size(), 1u);
    EXPECT_EQ(files.items(path)[0].account, "DM-smb://bob@host/share");
    EXPECT_EQ(files.items(path)[0].accessibility, "accessibleWhenUnlocked");
    EXPECT_EQ(keychain->allKeys(), std::vector<std::string>{"DM-smb://bob@host/share"});
}

TEST_F(KeychainsTest, TypedValuesRoundTripAndAbsentValuesDelete) {
    auto keychain = open("Pw123456", std::nullopt);
    EXPECT_EQ(keychain->keyPrefix(), "");
    EXPECT_TRUE(keychain->setBool(true, "flag"));
    EXPECT_TRUE(keychain->setData(Keychains::Data{0, 255, 7}, "blob"));
    EXPECT_EQ(keychain->getBool("flag"), true);
    EXPECT_EQ(keychain->getData("blob"), (Keychains::Data{0, 255, 7}));
    // A value of another type does not read as a bool.
    EXPECT_FALSE(keychain->getBool("blob").has_value());
    EXPECT_TRUE(keychain->setBool(std::nullopt, "flag"));
    EXPECT_FALSE(keychain->getBool("flag").has_value());
    EXPECT_FALSE(keychain->deleteKey("flag"));
    EXPECT_TRUE(keychain->clear());
    EXPECT_TRUE(keychain->allKeys().empty());
}

TEST_F(KeychainsTest, AccessGroupAndSynchronizableScopeTheItems) {
    auto keychain = open();
    keychain->setAccessGroup("group.a");
    EXPECT_TRUE(keychain->setString("in a", "k"));
    keychain->setAccessGroup("group.b");
    EXPECT_FALSE(keychain->getString("k").has_value());
    keychain->setAccessGroup(std::nullopt);
    keychain->setSynchronizable(true);
    EXPECT_TRUE(keychain->setString("synced", "s"));
    EXPECT_TRUE(files.items(path).back().synchronizable);
    EXPECT_EQ(keychain->getString("k"), "in a");
}

TEST_F(KeychainsTest, AWrongPasswordLeavesTheInstanceUnusable) {
    auto holder = open();
    ASSERT_TRUE(holder->setString("kept", "k"));
    {
        auto intruder = open("wrong");
        EXPECT_EQ(intruder->lastResultCode(), KeychainStatus::authFailed);
        EXPECT_FALSE(intruder->keychainPath().has_value());
        EXPECT_FALSE(intruder->getString("k").has_value());
        EXPECT_FALSE(intruder->setString("over", "k"));
        EXPECT_FALSE(intruder->deleteKey("k"));
        EXPECT_FALSE(intruder->clear());
        EXPECT_TRUE(intruder->allKeys().empty());
        EXPECT_EQ(intruder->lastResultCode(), KeychainStatus::authFailed);
        EXPECT_EQ(Keychains::openCount(path), 1);
    }
    // The failed instance must not lock the file under the instance that holds it.
    EXPECT_TRUE(files.isUnlocked(path));
    EXPECT_EQ(holder->getString("k"), "kept");
}

TEST_F(KeychainsTest, ADamagedFileFailsToUnlockAndIsNotReplaced) {
    files.damage(path);
    auto keychain = open();
    EXPECT_EQ(keychain->lastResultCode(), KeychainStatus::decodeFailed);
    EXPECT_FALSE(keychain->setString("x", "k"));
    EXPECT_EQ(keychain->lastResultCode(), KeychainStatus::decodeFailed);
    EXPECT_TRUE(files.items(path).empty());
    EXPECT_EQ(Keychains::openCount(path), 0);
}

TEST_F(KeychainsTest, TheSystemKeychainIsNotCounted) {
    Keychains keychain(std::nullopt, KeychainType::system(), &files);
    EXPECT_TRUE(keychain.setString("v", "k"));
    EXPECT_EQ(keychain.getString("k"), "v");
    EXPECT_FALSE(keychain.keychainPath().has_value());
}

}  // namespace
}  // namespace harbormind
