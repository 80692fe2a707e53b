#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "network/Keychains.h"
#include "testsupport/TemporaryFolder.h"
#include "platform/KeychainStatus.h"
#include "platform/linux/settings/KeychainFileFormat.h"
#include "platform/linux/settings/LinuxKeychainFiles.h"

namespace harbormind {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class LinuxKeychainFilesTest : public testing::Test {
protected:
    // A fresh files object stands for a fresh process: nothing is known about any file yet.
    std::unique_ptr<LinuxKeychainFiles> newProcess() {
        return std::make_unique<LinuxKeychainFiles>(folder.file("data/default/login.keychain"), KeychainKdfLimits::minimal());
    }
    KeychainType type(const std::string& password = "Nw4tB9mZ") {
        return KeychainType::nonsystem(folder.file("networkdrives.keychain"), password);
    }

    test::TemporaryFolder folder;
};

TEST_F(LinuxKeychainFilesTest, ValuesSurviveIntoAnotherProcessAndTheFileIsPrivate) {
    auto files = newProcess();
    {
        Keychains keychain("DM-", type(), files.get());
        ASSERT_EQ(keychain.lastResultCode(), KeychainStatus::success);
        EXPECT_TRUE(keychain.setString("hunter2", "smb://bob@server/share"));
        EXPECT_TRUE(keychain.setBool(false, "flag"));
    }
    struct stat info {};
    ASSERT_EQ(::stat(folder.file("networkdrives.keychain").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // The password is not in the file in clear.
    Bytes bytes = readFile(folder.file("networkdrives.keychain"));
    std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("hunter2"), std::string::npos);
    EXPECT_EQ(text.find("DM-smb"), std::string::npos);

    auto other = newProcess();
    Keychains keychain("DM-", type(), other.get());
    EXPECT_EQ(keychain.getString("smb://bob@server/share"), "hunter2");
    EXPECT_EQ(keychain.getBool("flag"), false);
    EXPECT_EQ(keychain.allKeys().size(), 2u);
    // No temporary files are left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST_F(LinuxKeychainFilesTest, LockingForgetsTheKeyForEveryHandle) {
    auto files = newProcess();
    auto a = files->open(folder.file("k.keychain"));
    auto b = files->open(folder.file("k.keychain"));
    EXPECT_EQ(a->status(), KeychainStatus::noSuchKeychain);
    ASSERT_EQ(a->create("pw"), KeychainStatus::success);
    EXPECT_EQ(b->create("pw"), KeychainStatus::duplicateKeychain);
    EXPECT_EQ(b->add({"acct", {1}, "accessibleWhenUnlocked", std::nullopt, false}), KeychainStatus::success);
    EXPECT_EQ(b->add({"acct", {2}, "accessibleWhenUnlocked", std::nullopt, false}), KeychainStatus::duplicateItem);
    a->lock();
    std::vector<KeychainItem> items;
    EXPECT_EQ(b->find({}, items), KeychainStatus::interactionNotAllowed);
    EXPECT_EQ(b->unlock("nope"), KeychainStatus::authFailed);
    EXPECT_EQ(b->unlock("pw"), KeychainStatus::success);
    EXPECT_EQ(a->find({}, items), KeychainStatus::success);
    EXPECT_EQ(items.size(), 1u);
}

TEST_F(LinuxKeychainFilesTest, AWrongPasswordNeitherUnlocksNorTouchesTheFile) {
    { Keychains keychain("DM-", type(), newProcess().get()); keychain.setString("v", "k"); }
    Bytes before = readFile(folder.file("networkdrives.keychain"));
    auto files = newProcess();
    Keychains keychain("DM-", type("wrong"), files.get());
    EXPECT_EQ(keychain.lastResultCode(), KeychainStatus::authFailed);
    EXPECT_FALSE(keychain.setString("over", "k"));
    EXPECT_FALSE(keychain.getString("k").has_value());
    EXPECT_EQ(readFile(folder.file("networkdrives.keychain")), before);
}

TEST_F(LinuxKeychainFilesTest, DamagedFilesFailToUnlockAndAreKeptAsTheyAre) {
    { Keychains keychain("DM-", type(), newProcess().get()); keychain.setString("v", "k"); }
    const std::string path = folder.file("networkdrives.keychain");
    const Bytes good = readFile(path);

    std::vector<Bytes> damaged;
    damaged.push_back({});                                      // empty
    damaged.push_back(Bytes(good.begin(), good.begin() + 20));  // cut inside the header
    damaged.push_back(Bytes(good.begin(), good.end() - 1));     // cut inside the seal
    Bytes flipped = good;
    flipped[flipped.size() / 2] ^= 0x40;
    damaged.push_back(flipped);
    Bytes greedy = good;  // asks the key derivation for far too much memory
    greedy[20] = 0xff;
    greedy[27] = 0x7f;
    damaged.push_back(greedy);
    Bytes garbage(300);
    std::mt19937 random(7);
    for (auto& byte : garbage) {
        byte = static_cast<std::uint8_t>(random());
    }
    damaged.push_back(garbage);

    for (std::size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        writeFile(path, damaged[i]);
        auto files = newProcess();
        Keychains keychain("DM-", type(), files.get());
        EXPECT_NE(keychain.lastResultCode(), KeychainStatus::success);
        EXPECT_FALSE(keychain.setString("new", "k"));
        EXPECT_FALSE(keychain.getString("k").has_value());
        EXPECT_EQ(readFile(path), damaged[i]);
    }
}

TEST_F(LinuxKeychainFilesTest, TheFormatRejectsEveryTruncationWithoutCrashing) {
    KeychainFileHeader header{KeychainKdfLimits::minimal().opsLimit, KeychainKdfLimits::minimal().memLimit, {}};
    std::array<std::uint8_t, 32> key{};
    key[0] = 1;
    std::vector<KeychainItem> items{{"a", {1, 2, 3}, "x", std::string("g"), true}, {"b", {}, "y", std::nullopt, false}};
    Bytes sealed = KeychainFileFormat::seal(header, key.data(), items);
    std::vector<KeychainItem> read;
    ASSERT_EQ(KeychainFileFormat::open(sealed, key.data(), read), KeychainStatus::success);
    EXPECT_EQ(read, items);
    for (std::size_t size = 0; size < sealed.size(); ++size) {
        Bytes cut(sealed.begin(), sealed.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_NE(KeychainFileFormat::open(cut, key.data(), read), KeychainStatus::success);
    }
}

TEST_F(LinuxKeychainFilesTest, TheDefaultKeychainOpensUnlockedInEveryProcess) {
    {
        Keychains keychain(std::nullopt, KeychainType::system(), newProcess().get());
        EXPECT_TRUE(keychain.setString("v", "k"));
    }
    struct stat info {};
    ASSERT_EQ(::stat(folder.file("data/default/login.keychain.secret").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    Keychains keychain(std::nullopt, KeychainType::system(), newProcess().get());
    EXPECT_EQ(keychain.getString("k"), "v");
}

}  // namespace
}  // namespace harbormind
