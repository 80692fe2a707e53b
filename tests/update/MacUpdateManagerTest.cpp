#include <gtest/gtest.h>
#include <sodium.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/linux/http/CurlHttpClient.h"
#include "platform/linux/files/LinuxCacheFolders.h"
#include "platform/linux/files/LinuxFileStore.h"
#include "platform/sim/SimSettingsStore.h"
#include "platform/sim/SimUpdateInstaller.h"
#include "platform/sim/SimWorkspace.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"
#include "update/LocalHttpsServer.h"
#include "update/MacUpdateManager.h"
#include "update/MacUpdateTexts.h"

namespace harbormind {
namespace {

class RecordingPresenter final : public MacUpdatePresenter {
public:
    void showUpdateWindow(const MacUpdateAppInfoObject& record, const MacUpdateUIConfiguration&,
                          WindowCallback callback) override {
        windows.push_back(record);
        lastCallback = std::move(callback);
    }
    void showAlert(const std::string&, const std::string& text, const std::string& button) override {
        alerts.push_back(text);
        buttons.push_back(button);
    }
    std::vector<MacUpdateAppInfoObject> windows;
    WindowCallback lastCallback;
    std::vector<std::string> alerts;
    std::vector<std::string> buttons;
};

// A signing key of the test's own; the manager trusts its public half.
struct TestKey {
    TestKey() {
        if (sodium_init() < 0) {
            ADD_FAILURE() << "libsodium cannot start";
        }
        crypto_sign_keypair(publicKey, secretKey);
        char hex[2 * crypto_sign_PUBLICKEYBYTES + 1];
        sodium_bin2hex(hex, sizeof(hex), publicKey, sizeof(publicKey));
        publicHex = hex;
    }
    std::string sign(const std::string& contents) const {
        std::string signature(crypto_sign_BYTES, '\0');
        crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             reinterpret_cast<const unsigned char*>(contents.data()), contents.size(), secretKey);
        return signature;
    }
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    std::string publicHex;
};

class MacUpdateManagerTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        ASSERT_TRUE(server.ready()) << "the local HTTPS server could not start (openssl missing?)";
        std::string pattern = (std::filesystem::temp_directory_path() / "harbormind-cache-XXXXXX").string();
        cacheHome = ::mkdtemp(pattern.data());
        ::setenv("XDG_CACHE_HOME", cacheHome.c_str(), 1);
        http = std::make_unique<CurlHttpClient>(server.certificateFile());
        MacUpdateServices services;
        services.http = http.get();
        services.settings = settings;
        services.cacheFolders = &folders;
        services.files = &files;
        services.installer = &installer;
        services.workspace = &workspace;
        services.publicKeyHex = key.publicHex;
        manager = std::make_unique<MacUpdateManager>(services);
        manager->customize({MacUpdateTexts::skip, MacUpdateTexts::updateNow, MacUpdateTexts::later,
                            MacUpdateTexts::versionFormat, MacUpdateTexts::releaseNotes},
                           server.url("/check"));
        manager->setPresenter(presenter);
    }
    void TearDown() override {
        settle();
        manager.reset();
        std::filesystem::remove_all(cacheHome);
        VirtualClockTest::TearDown();
    }

    void answer(const std::string& json) { server.route("/check", {200, json, "", false}); }
    static std::string offer(const std::string& version, const std::string& url = "https://example.invalid/a.deb",
                             bool forced = false) {
        return R"({"ver":")" + version + R"(","durl":")" + url + R"(","notes":"Faster clones.","fuflag":)" +
               (forced ? "true" : "false") + "}";
    }
    MacUpdateAppInfoObject record(const std::string& current = "3.9") const {
        return MacUpdateAppInfoObject("Kestrane Harbormind", "harbormind", current, MacUpdateTexts::productID);
    }
    // Runs the main queue until every check, delay and download has played out.
    void settle() { Dispatch::main().runUntil([] { return false; }, seconds(5)); }

    test::LocalHttpsServer server;
    std::string cacheHome;
    std::unique_ptr<CurlHttpClient> http;
    std::shared_ptr<SimSettingsStore> settings = std::make_shared<SimSettingsStore>();
    LinuxCacheFolders folders;
    LinuxFileStore files;
    SimUpdateInstaller installer;
    SimWorkspace workspace{true, {}, "", ""};
    TestKey key;
    std::shared_ptr<RecordingPresenter> presenter = std::make_shared<RecordingPresenter>();
    std::unique_ptr<MacUpdateManager> manager;
};

TEST_F(MacUpdateManagerTest, NewerVersionIsReadFromTheServiceAndOffered) {
    answer(offer("3.10"));
    MacUpdateAppInfoObject checked = record("3.9");
    EXPECT_TRUE(manager->checkAppUpdate(checked));
    EXPECT_EQ(server.requests(), std::vector<std::string>{"/check?pid=101"});
    EXPECT_EQ(checked.latestVersion, "3.10");
    EXPECT_EQ(checked.releaseNotes, "Faster clones.");
    EXPECT_EQ(checked.downloadURL, "https://example.invalid/a.deb");
    EXPECT_FALSE(checked.forceUpdateFlag);
    EXPECT_TRUE(checked.isNewVersionAvailable());

    manager->checkForUpdates(record("3.9"), MacUpdateCheckOrigin::Automatic);
    settle();
    ASSERT_EQ(presenter->windows.size(), 1U);
    EXPECT_EQ(presenter->windows[0].latestVersion, "3.10");
    EXPECT_TRUE(presenter->alerts.empty());
    EXPECT_TRUE(installer.requests().empty());
}

TEST_F(MacUpdateManagerTest, EqualVersionOffersNothingAndOnlyTheUserHearsSo) {
    answer(offer("3.0"));
    manager->checkForUpdates(record("3.0"), MacUpdateCheckOrigin::Automatic);
    settle();
    EXPECT_TRUE(presenter->windows.empty());
    EXPECT_TRUE(presenter->alerts.empty());

    manager->checkForUpdates(record("3.0"), MacUpdateCheckOrigin::UserInitiated);
    settle();
    EXPECT_TRUE(presenter->windows.empty());
    EXPECT_EQ(presenter->alerts, std::vector<std::string>{"The current version is the latest version"});
    EXPECT_EQ(presenter->buttons, std::vector<std::string>{"Ok"});
}

TEST_F(MacUpdateManagerTest, SkippedVersionIsOfferedAgainOnlyWhenANewerOneComes) {
    answer(offer("3.2"));
    manager->checkForUpdates(record("3.1"), MacUpdateCheckOrigin::Automatic);
    settle();
    ASSERT_EQ(presenter->windows.size(), 1U);
    presenter->lastCallback(2, presenter->windows[0]);
    EXPECT_EQ(settings->value("101")->asText(), "3.2");

    manager->checkForUpdates(record("3.1"), MacUpdateCheckOrigin::Automatic);
    settle();
    EXPECT_EQ(presenter->windows.size(), 1U);

    answer(offer("3.3"));
    manager->checkForUpdates(record("3.1"), MacUpdateCheckOrigin::Automatic);
    settle();
    EXPECT_EQ(presenter->windows.size(), 2U);
    presenter->lastCallback(0, presenter->windows[1]);
    EXPECT_EQ(workspace.openedURLs(), std::vector<std::string>{"https://example.invalid/a.deb"});
}

TEST_F(MacUpdateManagerTest, MalformedOrOversizedAnswersMeanNothingNew) {
    for (const std::string& body : {std::string("{\"ver\": \"9.0\""), std::string("[\"9.0\"]"), std::string(),
                                    std::string(10 * 1024 * 1024, ' ') + "{\"ver\":\"9.0\"}"}) {
        answer(body);
        MacUpdateAppInfoObject checked = record();
        EXPECT_FALSE(manager->checkAppUpdate(checked)) << body.substr(0, 20);
        EXPECT_TRUE(checked.latestVersion.empty());
    }
    manager->checkForUpdates(record(), MacUpdateCheckOrigin::UserInitiated);
    settle();
    EXPECT_TRUE(presenter->windows.empty());
    EXPECT_EQ(presenter->alerts, std::vector<std::string>{MacUpdateTexts::latestVersion});
}

TEST_F(MacUpdateManagerTest, SlowServiceIsGivenUpAfterTheTimeLimit) {
    server.route("/check", {200, offer("9.0"), "", true});
    MacUpdateAppInfoObject checked = record();
    bool answered = true;
    std::thread checking([&] { answered = manager->checkAppUpdate(checked); });
    // Let the request reach the server before moving the clock past the limit. It crosses a
    // real socket to the test's server, which the virtual clock does not see: a short real
    // poll with a bound.
    for (int i = 0; i < 500 && server.requests().empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(server.requests().empty());
    clock->sleepFor(seconds(31));
    checking.join();
    EXPECT_FALSE(answered);
    EXPECT_TRUE(checked.latestVersion.empty());
}

TEST_F(MacUpdateManagerTest, OnlyHttpsAddressesAreAsked) {
    manager->customize(manager->configuration(), "http://127.0.0.1:1/check");
    EXPECT_FALSE(manager->isConfigured());
    MacUpdateAppInfoObject checked = record();
    EXPECT_FALSE(manager->checkAppUpdate(checked));

    manager->customize(manager->configuration(), "");
    manager->checkForUpdates(record(), MacUpdateCheckOrigin::UserInitiated);
    settle();
    EXPECT_EQ(presenter->alerts, std::vector<std::string>{MacUpdateTexts::noUpdateCheck});
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(MacUpdateManagerTest, ForcedUpdateWithAValidSignatureIsInstalledFromThePrivateFolder) {
    const std::string package = "!<arch>\nsigned package";
    server.route("/pkg/a.deb", {200, package, "Content-Disposition: attachment; filename=\"../../evil name.deb\"\r\n", false});
    server.route("/pkg/a.deb.sig", {200, key.sign(package), "", false});
    answer(offer("3.10", server.url("/pkg/a.deb"), true));
    manager->checkForUpdates(record("3.9"), MacUpdateCheckOrigin::Automatic);
    settle();

    EXPECT_TRUE(presenter->windows.empty());
    EXPECT_TRUE(presenter->alerts.empty());
    const std::string folder = cacheHome + "/kestrane-harbormind";
    const std::string path = folder + "/evil_name.deb";
    // The package and its signature go to the privileged side, which checks them again itself.
    EXPECT_EQ(installer.requests(), std::vector<std::string>{path + " " + path + ".sig"});
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700U);
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0077, 0U);

    // The privileged side's refusal (its own check failed, the password was refused) is shown.
    installer.setAnswer({false, "the update does not carry a valid signature"});
    manager->checkForUpdates(record("3.9"), MacUpdateCheckOrigin::Automatic);
    settle();
    EXPECT_EQ(presenter->alerts, std::vector<std::string>{MacUpdateTexts::installFailed});
}

TEST_F(MacUpdateManagerTest, ForcedUpdateWithABadOrMissingSignatureInstallsNothingAndSaysSo) {
    const std::string package = "!<arch>\ntampered package";
    server.route("/pkg/a.deb", {200, package, "", false});
    server.route("/pkg/a.deb.sig", {200, key.sign("!<arch>\nthe signed package"), "", false});
    answer(offer("3.10", server.url("/pkg/a.deb"), true));
    manager->checkForUpdates(record("3.9"), MacUpdateCheckOrigin::Automatic);
    settle();
    EXPECT_TRUE(installer.requests().empty());
    EXPECT_EQ(presenter->alerts, std::vector<std::string>{MacUpdateTexts::notVerified});

    server.route("/pkg/a.deb.sig", {404, "", "", false});
    manager->checkForUpdates(record("3.9"), MacUpdateCheckOrigin::Automatic);
    settle();
    EXPECT_TRUE(installer.requests().empty());
    EXPECT_EQ(presenter->alerts.size(), 2U);
}

TEST_F(MacUpdateManagerTest, DownloadFolderMustBeTheUsersOwnAndPrivate) {
    const std::string folder = cacheHome + "/kestrane-harbormind";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    EXPECT_EQ(folders.privateFolder("kestrane-harbormind"), folder);
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700U);

    std::filesystem::create_symlink("/tmp", cacheHome + "/linked");
    EXPECT_FALSE(folders.privateFolder("linked"));
    EXPECT_FALSE(folders.privateFolder("../escape"));
}

}  // namespace
}  // namespace harbormind
