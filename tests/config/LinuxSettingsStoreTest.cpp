#include <gtest/gtest.h>
#include <plist/plist.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <thread>

#include "testsupport/TemporaryFolder.h"
#include "config/DMConfigurationManager.h"
#include "platform/linux/settings/LinuxSettingsStores.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;
using test::TemporaryFolder;

constexpr const char* appDomain = "com.kestrane.harbormind";

std::string plistDocument(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" + body +
           "</dict>\n</plist>\n";
}

std::string runCommand(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t count = 0;
        while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            output.append(buffer, count);
        }
        pclose(pipe);
    }
    return output;
}

std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class LinuxSettingsStoreTest : public testing::Test {
protected:
    std::string appFile() const { return folder.path() + "/" + appDomain + ".plist"; }
    std::unique_ptr<LinuxSettingsStores> makeStores() {
        return std::make_unique<LinuxSettingsStores>(folder.path(), appDomain);
    }
    std::unique_ptr<DMConfigurationManager> makeManager(LinuxSettingsStores& stores) {
        return std::make_unique<DMConfigurationManager>(appDomain, stores.standard(), nullptr, nullptr);
    }

    TemporaryFolder folder;
};

TEST_F(LinuxSettingsStoreTest, SettingsSurviveARestartUnderTheirExactKeys) {
    {
        auto stores = makeStores();
        auto manager = makeManager(*stores);
        manager->setNotifyWhenConnectDrives(false);
        manager->setAutomaticallyLockEncryptedDrivesOnSleep(true);
        manager->setStatusBarIcon(false);
    }
    auto stores = makeStores();
    auto manager = makeManager(*stores);
    EXPECT_FALSE(manager->notifyWhenConnectDrives());
    EXPECT_TRUE(manager->automaticallyLockEncryptedDrivesOnSleep());
    EXPECT_FALSE(manager->statusBarIcon());
    EXPECT_TRUE(manager->dockIcon());

    // Any property-list reader sees Booleans under the stored key strings.
    plist_t root = nullptr;
    std::string text = TemporaryFolder::read(appFile());
    plist_from_memory(text.data(), static_cast<uint32_t>(text.size()), &root);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(plist_dict_get_size(root), 3U);
    for (const char* key :
         {"notifyWhenDrivesAvailable", "automaticallyLockEncryptedDrivesOnSleep", "statusBarIcon"}) {
        plist_t item = plist_dict_get_item(root, key);
        ASSERT_NE(item, nullptr) << key;
        EXPECT_EQ(plist_get_node_type(item), PLIST_BOOLEAN) << key;
    }
    plist_free(root);

    struct stat info {};
    ASSERT_EQ(stat(appFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600U);
    EXPECT_EQ(filesIn(folder.path()), std::set<std::string>{std::string(appDomain) + ".plist"});
}

TEST_F(LinuxSettingsStoreTest, FilesAreExchangedWithAnotherPropertyListTool) {
    if (!fs::exists("/usr/bin/plistutil")) {
        GTEST_SKIP() << "plistutil (libplist-utils) is not installed";
    }
    auto stores = makeStores();
    stores->suite("group.drivemanager.app")->setValue("value", 2);
    std::string suiteFile = folder.path() + "/group.drivemanager.app.plist";
    std::string xml = runCommand("plistutil -f xml -i '" + suiteFile + "'");
    EXPECT_NE(xml.find("<key>value</key>\n\t<integer>2</integer>"), std::string::npos) << xml;

    // A binary file written by the other tool reads the same.
    std::string binary = folder.path() + "/binary.plist";
    TemporaryFolder::write(folder.path() + "/source.xml",
                           plistDocument("<key>dockIcon</key><false/><key>model</key><integer>-3</integer>"));
    runCommand("plistutil -f bin -i '" + folder.path() + "/source.xml' -o '" + binary + "'");
    ASSERT_TRUE(fs::exists(binary));
    auto store = stores->suite("binary");
    EXPECT_EQ(store->value("dockIcon")->asBool(), false);
    EXPECT_EQ(store->value("model")->asInteger(), -3);
}

TEST_F(LinuxSettingsStoreTest, EveryValueTypeKeepsItsType) {
    auto stores = makeStores();
    auto suite = stores->suite("group.drivemanager.app");
    PlatformValue::Dictionary dictionary{{"inner", PlatformValue(1.5)}};
    suite->setValue("flag", true);
    suite->setValue("number", std::int64_t{-42});
    suite->setValue("real", 0.25);
    suite->setValue("text", "ünïcode & <markup>");
    suite->setValue("data", PlatformValue::Data{0, 1, 255});
    suite->setValue("list", PlatformValue::Array{PlatformValue(1), PlatformValue("two")});
    suite->setValue("dictionary", dictionary);

    auto reread = makeStores()->suite("group.drivemanager.app");
    EXPECT_EQ(reread->value("flag")->asBool(), true);
    EXPECT_EQ(reread->value("number")->asInteger(), -42);
    EXPECT_EQ(reread->value("number")->asBool(), std::nullopt);
    EXPECT_EQ(reread->value("real")->asReal(), 0.25);
    EXPECT_EQ(reread->value("text")->asText(), "ünïcode & <markup>");
    EXPECT_EQ(reread->value("data")->asData(), (PlatformValue::Data{0, 1, 255}));
    EXPECT_EQ(*reread->value("list"), PlatformValue(PlatformValue::Array{PlatformValue(1), PlatformValue("two")}));
    EXPECT_EQ(*reread->value("dictionary"), PlatformValue(dictionary));
    EXPECT_EQ(reread->keys().size(), 7U);

    reread->removeValue("text");
    EXPECT_EQ(suite->value("text"), std::nullopt);
    EXPECT_EQ(suite->keys().size(), 6U);
}

TEST_F(LinuxSettingsStoreTest, WrongTypedValuesInTheFileReadAsDefaults) {
    TemporaryFolder::write(appFile(), plistDocument("<key>dockIcon</key><string>yes</string>"
                                                    "<key>statusBarIcon</key><integer>0</integer>"
                                                    "<key>notifyWhenDrivesAppears</key><real>1</real>"
                                                    "<key>automaticallyOpenDrivesAfterUnlocking</key><false/>"));
    auto stores = makeStores();
    auto manager = makeManager(*stores);
    EXPECT_TRUE(manager->dockIcon());
    EXPECT_TRUE(manager->statusBarIcon());
    EXPECT_FALSE(manager->notifyWhenDrivesAppears());
    EXPECT_FALSE(manager->automaticallyOpenDrivesAfterUnlocking());
}

TEST_F(LinuxSettingsStoreTest, DamagedFileIsKeptUntilASettingChangesAndThenCopiedAside) {
    const std::string damaged = "<?xml version=\"1.0\"?><plist><dict><key>dockIcon</key><false/>";
    TemporaryFolder::write(appFile(), damaged);
    auto stores = makeStores();
    auto manager = makeManager(*stores);
    EXPECT_TRUE(manager->dockIcon());
    EXPECT_TRUE(manager->statusBarIcon());
    stores->standard()->removeValue("statusBarIcon");
    EXPECT_EQ(TemporaryFolder::read(appFile()), damaged);
    EXPECT_EQ(filesIn(folder.path()).size(), 1U);

    manager->setNotifyWhenDrivesAppears(true);
    std::set<std::string> names = filesIn(folder.path());
    ASSERT_EQ(names.size(), 2U);
    std::string copy;
    for (const std::string& name : names) {
        if (name.rfind(std::string(appDomain) + ".plist.damaged-", 0) == 0) {
            copy = name;
        }
    }
    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(TemporaryFolder::read(folder.path() + "/" + copy), damaged);
    EXPECT_TRUE(makeManager(*makeStores())->notifyWhenDrivesAppears());
    EXPECT_EQ(stores->standard()->keys(), std::vector<std::string>{"notifyWhenDrivesAppears"});

    // The new file is sound: the next change keeps no further copy.
    manager->setDockIcon(false);
    EXPECT_EQ(filesIn(folder.path()).size(), 2U);
}

TEST_F(LinuxSettingsStoreTest, FileWithAnotherTopLevelIsDamagedToo) {
    const std::string notADictionary = "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>";
    TemporaryFolder::write(appFile(), notADictionary);
    auto stores = makeStores();
    EXPECT_TRUE(stores->standard()->keys().empty());
    stores->standard()->setValue("dockIcon", false);
    EXPECT_EQ(filesIn(folder.path()).size(), 2U);
    EXPECT_EQ(stores->standard()->value("dockIcon")->asBool(), false);
}

// A file too large or nested too deep to be settings is damaged; it is kept aside whole
// (its tail too) when a setting changes, and never handed to the parser.
TEST_F(LinuxSettingsStoreTest, OversizedAndDeeplyNestedFilesAreKeptAsideWhole) {
    std::string huge = "<?xml version=\"1.0\"?><plist><dict><key>pad</key><string>";
    huge += std::string(9u << 20, 'x');
    huge += "</string></dict></plist>TAIL";
    std::string deep = "<?xml version=\"1.0\"?><plist><dict><key>k</key>";
    for (int i = 0; i < 200000; ++i) {
        deep += "<array>";
    }
    deep += "</dict></plist>";
    for (const std::string& contents : {huge, deep}) {
        fs::remove_all(folder.path());
        fs::create_directories(folder.path());
        TemporaryFolder::write(appFile(), contents);
        auto stores = makeStores();
        EXPECT_TRUE(stores->standard()->keys().empty());
        stores->standard()->setValue("dockIcon", false);
        std::string kept;
        for (const std::string& name : filesIn(folder.path())) {
            if (name.rfind(std::string(appDomain) + ".plist.damaged-", 0) == 0) {
                kept = folder.path() + "/" + name;
            }
        }
        ASSERT_FALSE(kept.empty());
        EXPECT_EQ(fs::file_size(kept), contents.size());
        EXPECT_TRUE(TemporaryFolder::read(kept) == contents);
        EXPECT_EQ(stores->standard()->value("dockIcon")->asBool(), false);
    }
}

TEST_F(LinuxSettingsStoreTest, UnreadableFileIsNeverReplaced) {
    fs::create_directories(appFile());  // open succeeds, reading fails
    auto stores = makeStores();
    stores->standard()->setValue("dockIcon", false);
    EXPECT_TRUE(fs::is_directory(appFile()));
    EXPECT_EQ(stores->standard()->value("dockIcon"), std::nullopt);
}

TEST_F(LinuxSettingsStoreTest, EntriesOfOtherTypesSurviveAChange) {
    TemporaryFolder::write(appFile(), plistDocument("<key>since</key><date>2020-01-02T03:04:05Z</date>"));
    auto stores = makeStores();
    stores->standard()->setValue("dockIcon", true);
    std::string text = TemporaryFolder::read(appFile());
    EXPECT_NE(text.find("<date>2020-01-02T03:04:05Z</date>"), std::string::npos) << text;
    EXPECT_NE(text.find("<key>dockIcon</key>"), std::string::npos) << text;
}

TEST_F(LinuxSettingsStoreTest, TwoProgramsChangingOneDomainLoseNothing) {
    auto first = makeStores();
    auto second = makeStores();
    auto writeMany = [](std::shared_ptr<SettingsStore> store, const std::string& prefix) {
        for (int i = 0; i < 40; ++i) {
            store->setValue(prefix + std::to_string(i), i);
        }
    };
    std::thread a(writeMany, first->suite("group.drivemanager.app"), "a");
    std::thread b(writeMany, second->suite("group.drivemanager.app"), "b");
    a.join();
    b.join();
    EXPECT_EQ(makeStores()->suite("group.drivemanager.app")->keys().size(), 80U);
}

TEST_F(LinuxSettingsStoreTest, SuiteNamesCannotLeaveTheFolder) {
    auto stores = makeStores();
    for (const char* name : {"../escape", "", "..", "a/b"}) {
        auto store = stores->suite(name);
        store->setValue("value", 1);
        EXPECT_EQ(store->value("value"), std::nullopt) << name;
    }
    EXPECT_FALSE(fs::exists(fs::path(folder.path()).parent_path() / "escape.plist"));
    EXPECT_TRUE(filesIn(folder.path()).empty());
}

TEST_F(LinuxSettingsStoreTest, EveryTruncationOfAFileReadsWithoutHarm) {
    std::string whole = plistDocument("<key>dockIcon</key><false/><key>list</key><array><integer>1</integer>"
                                      "<string>x</string></array><key>d</key><data>AAE=</data>");
    auto stores = makeStores();
    for (std::size_t length = 0; length < whole.size(); ++length) {
        TemporaryFolder::write(appFile(), whole.substr(0, length));
        std::optional<PlatformValue> value = stores->standard()->value("dockIcon");
        EXPECT_TRUE(!value || value->asBool() == false) << length;
    }
}

}  // namespace
}  // namespace harbormind
