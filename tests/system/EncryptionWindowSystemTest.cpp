// Encrypting a volume holding files from the window, as installed: the administrator (who
// authenticated, as encrypting asks) goes through the wizard and the progress window, the
// user of the stick unlocks it with the password and finds the files as they were, and locks
// it. A stop from the progress window reaches the daemon, and the resume from the window
// finishes the job. A user polkit refuses learns why, and the volume is left as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "system/support/BlockWriteThrottle.h"
#include "system/support/KernelMounts.h"
#include "system/support/SystemTest.h"

namespace harbormind::test {
namespace {

constexpr std::uint64_t MiB = 1u << 20;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string readWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class EncryptionWindowSystemTest : public SystemTest {
protected:
    // The stick of the desktop user, holding files, mounted by the administrator for the work.
    void SetUp() override {
        SystemTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        stick = &loopVolume({.fileSystem = "ext4", .label = "HMSECRET", .megabytes = 160});
        attachedBy(*stick, SystemRole::desktop);
        ASSERT_NO_FATAL_FAILURE(putFiles());
    }

    // A few files, one of them large enough to span many blocks of the encryption.
    void putFiles() {
        const std::string at = folder() + "/files";
        std::filesystem::create_directories(at);
        ASSERT_EQ(runProgram({"mount", stick->volumePath(), at}).status, 0);
        files["notes.txt"] = "the harbour opens at six\n";
        std::string big;
        for (std::uint32_t word = 0; big.size() < 24 * MiB; ++word) {
            big += std::to_string(word * 2654435761u) + (word % 7 == 0 ? "\n" : " ");
        }
        files["charts/tide-tables.dat"] = big;
        for (const auto& [name, bytes] : files) {
            std::filesystem::create_directories(std::filesystem::path(at + "/" + name).parent_path());
            std::ofstream(at + "/" + name, std::ios::binary) << bytes;
        }
        ASSERT_EQ(runProgram({"umount", at}).status, 0);
    }

    void mountAsAdministrator() {
        Outcome mounted = ctl(SystemRole::administrator, {"mount", stick->volume()});
        ASSERT_EQ(mounted.status, 0) << mounted.out << mounted.err;
    }

    Outcome cryptsetup(const std::vector<std::string>& words, const std::string& key = {}) {
        // The key is the script's first word, cryptsetup's words the rest.
        std::vector<std::string> argv{"/bin/sh", "-c", "key=\"$1\"; shift; printf %s \"$key\" | cryptsetup \"$@\"",
                                      "sh", key};
        argv.insert(argv.end(), words.begin(), words.end());
        return runProgram(argv);
    }
    // The header's words for cryptsetup: the detached header the window handed over beside
    // the recovery key, where the volume has no header in front.
    std::vector<std::string> headerWords() {
        if (runProgram({"cryptsetup", "isLuks", stick->volumePath()}).status == 0) {
            return {};
        }
        return {"--header", header};
    }
    bool opensWith(const std::string& key) {
        std::vector<std::string> words{"open", "--test-passphrase", "--key-file", "-"};
        for (const std::string& word : headerWords()) {
            words.push_back(word);
        }
        words.push_back(stick->volumePath());
        return cryptsetup(words, key).status == 0;
    }
    bool stillHalfEncrypted() {
        std::vector<std::string> words{"luksDump"};
        for (const std::string& word : headerWords()) {
            words.push_back(word);
        }
        words.push_back(stick->volumePath());
        Outcome dump = cryptsetup(words);
        return dump.status != 0 || contains(dump.out, "online-reencrypt");
    }
    static bool deviceMapperHere() {
        return contains(readWhole("/proc/misc"), "device-mapper") || contains(readWhole("/proc/devices"), "device-mapper");
    }

    // The key saved by the window, as the recovery key file holds it.
    std::string savedKey(const std::string& path) {
        const std::string text = readWhole(path);
        const std::string marker = "Recovery Key:\n\n\t";
        auto at = text.find(marker);
        return at == std::string::npos ? std::string() : text.substr(at + marker.size());
    }

    // The device-mapper volumes open on the stick, and where they are mounted.
    std::vector<std::pair<std::string, std::string>> openedVolumes() {
        Outcome listed = runProgram({"lsblk", "-nr", "-o", "NAME,TYPE,MOUNTPOINT", stick->volumePath()});
        std::vector<std::pair<std::string, std::string>> opened;
        std::istringstream lines(listed.out);
        for (std::string name, type, rest; lines >> name >> type && std::getline(lines, rest);) {
            if (type == "crypt") {
                opened.emplace_back(name, rest.empty() ? rest : rest.substr(1));
            }
        }
        return opened;
    }

    void expectFilesAt(const std::string& mountPoint) {
        for (const auto& [name, bytes] : files) {
            EXPECT_TRUE(readWhole(mountPoint + "/" + name) == bytes) << name << " differs at " << mountPoint;
        }
    }

    // The report of an encryption the window saw to its end.
    // A resume asks no more than the password: the user agreed to the method when it began.
    static void expectEncryptedLook(const nlohmann::json& report, bool resumed = false) {
        ASSERT_TRUE(report.value("clicked", false)) << report.dump();
        EXPECT_TRUE(report.value("recoveryKeyShown", false)) << report.dump();
        EXPECT_EQ(report.value("wizardFailure", ""), "") << report.dump();
        const nlohmann::json progress = report.value("progress", nlohmann::json::object());
        EXPECT_EQ(progress.value("title", ""), "The drive has been encrypted!") << report.dump();
        EXPECT_TRUE(progress.value("completedShown", false)) << report.dump();
        EXPECT_EQ(report.value("highestBar", 0), 1000) << report.dump();
        EXPECT_EQ(report.value("daemonAnswer", nlohmann::json::object()).value("code", -1), 0) << report.dump();
        const nlohmann::json alerts = report.value("alerts", nlohmann::json::array());
        if (resumed) {
            EXPECT_TRUE(alerts.empty()) << report.dump();
        } else {
            EXPECT_TRUE(alerts.size() == 1 && alerts.at(0).value("title", "") == "Drive Encryption") << report.dump();
        }
    }

    // The volume is encrypted for good, the header (when detached) was handed over beside the
    // key, and both the password and the key saved by the window open it.
    void expectEncrypted(const std::string& keyFile, const nlohmann::json& report) {
        header = std::filesystem::path(keyFile).replace_extension(".header").string();
        if (!headerWords().empty()) {
            EXPECT_EQ(report.value("progress", nlohmann::json::object()).value("headerSavedAs", ""), header)
                << report.dump();
        }
        EXPECT_FALSE(stillHalfEncrypted()) << daemonLog();
        EXPECT_TRUE(opensWith(password));
        const std::string key = savedKey(keyFile);
        ASSERT_FALSE(key.empty()) << readWhole(keyFile);
        EXPECT_TRUE(opensWith(key)) << "the recovery key the window saved does not open the volume";
    }

    // The desktop user unlocks with the password, finds the files as they were and locks again.
    // Where the kernel has no device-mapper nothing can be unlocked: the window says so, and
    // the files are read after decrypting the volume in place with the header and password.
    void unlockReadAndLock() {
        stick->refreshUdevRecords();
        WindowFlowOutcome unlocked = window(SystemRole::desktop, "unlock", {stick->volume(), password});
        if (!deviceMapperHere()) {
            EXPECT_TRUE(contains(unlocked.report.value("refusal", ""), "device-mapper")) << unlocked.report.dump();
            EXPECT_FALSE(contains(unlocked.report.value("refusal", ""), "error code")) << unlocked.report.dump();
            std::vector<std::string> words{"reencrypt", "--decrypt", "--key-file", "-", "-q"};
            for (const std::string& word : headerWords()) {
                words.push_back(word);
            }
            words.push_back(stick->volumePath());
            Outcome decrypted = cryptsetup(words, password);
            ASSERT_EQ(decrypted.status, 0) << decrypted.out << decrypted.err;
            const std::string at = folder() + "/files";
            ASSERT_EQ(runProgram({"mount", "-o", "ro", stick->volumePath(), at}).status, 0);
            expectFilesAt(at);
            EXPECT_EQ(runProgram({"umount", at}).status, 0);
            return;
        }
        ASSERT_TRUE(unlocked.report.value("unlockWindowClosed", false)) << unlocked.report.dump() << daemonLog();
        EXPECT_TRUE(unlocked.report.value("alerts", nlohmann::json::array()).empty()) << unlocked.report.dump();
        auto opened = openedVolumes();
        ASSERT_EQ(opened.size(), 1u) << "not one volume opened on " << stick->volume();
        ASSERT_FALSE(opened[0].second.empty()) << opened[0].first << " is not mounted";
        EXPECT_TRUE(unlocked.report.value("after", nlohmann::json::object()).value("mounted", false)) << unlocked.report.dump();
        expectFilesAt(opened[0].second);

        WindowFlowOutcome locked = window(SystemRole::desktop, "click", {stick->volume(), "Lock"});
        EXPECT_TRUE(locked.report.value("clicked", false)) << locked.report.dump();
        EXPECT_TRUE(locked.report.value("alerts", nlohmann::json::array()).empty()) << locked.report.dump();
        EXPECT_TRUE(openedVolumes().empty()) << "the stick is still open after Lock";
        EXPECT_TRUE(KernelMounts::mountPointsOf("/dev/mapper/" + opened[0].first).empty());
    }

    std::string keyPath(const std::string& name) const { return account(SystemRole::administrator).home() + "/" + name; }

    const std::string password = "tide & \"port\" $(x) 7";
    LoopVolume* stick = nullptr;
    std::map<std::string, std::string> files;
    std::string header;
};

TEST_F(EncryptionWindowSystemTest, EncryptedFromTheWindowItUnlocksWithThePasswordAndTheFilesAreIntact) {
    ASSERT_NO_FATAL_FAILURE(mountAsAdministrator());
    WindowFlowOutcome encrypted =
        window(SystemRole::administrator, "encrypt", {stick->volume(), password, keyPath("recovery.txt")});
    expectEncryptedLook(encrypted.report);
    ASSERT_NO_FATAL_FAILURE(expectEncrypted(keyPath("recovery.txt"), encrypted.report));

    // A wrong password is refused with the reason shown, and nothing is opened.
    stick->refreshUdevRecords();
    WindowFlowOutcome wrong = window(SystemRole::desktop, "unlock", {stick->volume(), password + "x"});
    EXPECT_FALSE(wrong.report.value("unlockWindowClosed", true)) << wrong.report.dump();
    EXPECT_TRUE(contains(wrong.report.value("refusal", ""), "password")) << wrong.report.dump();
    EXPECT_FALSE(contains(wrong.report.dump(), "error code")) << wrong.report.dump();
    EXPECT_TRUE(openedVolumes().empty());

    unlockReadAndLock();
}

TEST_F(EncryptionWindowSystemTest, AStopFromTheProgressWindowReachesTheDaemonAndTheResumeFinishes) {
    ASSERT_NO_FATAL_FAILURE(mountAsAdministrator());
    // The daemon writes the stick at 8 MiB/s, so the stop lands midway.
    std::string whyNot;
    auto throttle = std::make_unique<BlockWriteThrottle>(daemonPid(), stick->volumePath(), 8 * MiB, whyNot);
    if (!throttle->active()) {
        GTEST_SKIP() << "the encryption cannot be slowed down here: " << whyNot;
    }
    WindowFlowOutcome stopped =
        window(SystemRole::administrator, "encrypt", {stick->volume(), password, keyPath("first.txt"), "250"});
    ASSERT_TRUE(stopped.report.contains("stoppedAtBar")) << stopped.report.dump() << daemonLog();
    // The bar moved on its way there: the daemon's progress reached the window.
    EXPECT_GE(stopped.report.value("bars", 0), 3) << stopped.report.dump();
    EXPECT_LT(stopped.report.value("stoppedAtBar", 1000), 1000) << stopped.report.dump();
    // The daemon heard the stop while the window still ran, and stopped where it can resume.
    EXPECT_NE(stopped.report.value("daemonAnswer", nlohmann::json::object()).value("code", 0), 0) << stopped.report.dump();
    EXPECT_TRUE(contains(stopped.report.value("daemonAnswer", nlohmann::json::object()).value("message", ""), "stopped")) << stopped.report.dump();
    // Nothing is handed over for a job that did not end; the daemon keeps the header meanwhile.
    header = folder() + "/luks/" + stick->volume() + ".luks2-header";
    EXPECT_TRUE(stillHalfEncrypted()) << "the encryption ran on after the stop";
    throttle.reset();

    stick->refreshUdevRecords();
    WindowFlowOutcome resumed =
        window(SystemRole::administrator, "encrypt", {stick->volume(), password, keyPath("resumed.txt")});
    EXPECT_TRUE(resumed.report.value("resumePasswordAsked", false)) << resumed.report.dump();
    expectEncryptedLook(resumed.report, true);
    ASSERT_NO_FATAL_FAILURE(expectEncrypted(keyPath("resumed.txt"), resumed.report));

    unlockReadAndLock();
}

// Encrypting takes an administrator: the user of an active session who cannot authenticate as
// one is refused, and learns why, with their stick mounted again as it was.
TEST_F(EncryptionWindowSystemTest, AUserWhoMayNotEncryptLearnsWhyAndTheVolumeIsLeftAsItWas) {
    Outcome mounted = ctl(SystemRole::desktop, {"mount", stick->volume()});
    ASSERT_EQ(mounted.status, 0) << mounted.out << mounted.err;
    WindowFlowOutcome refused = window(SystemRole::desktop, "encrypt",
                                       {stick->volume(), password, account(SystemRole::desktop).home() + "/key.txt"});
    ASSERT_TRUE(refused.report.value("clicked", false)) << refused.report.dump();
    const std::string said = refused.report.value("wizardFailure", "") + refused.report.value("alerts", nlohmann::json::array()).dump();
    EXPECT_TRUE(contains(said, "administrator") || contains(said, "not authorized") || contains(said, "permitted"))
        << refused.report.dump();
    EXPECT_FALSE(contains(said, "error code")) << refused.report.dump();
    EXPECT_FALSE(refused.report.contains("progress")) << refused.report.dump();
    EXPECT_NE(runProgram({"cryptsetup", "isLuks", stick->volumePath()}).status, 0);
    EXPECT_EQ(KernelMounts::mountPointsOf(stick->volumePath()), std::vector<std::string>{mediaFolder(SystemRole::desktop) + "/HMSECRET"});
    EXPECT_TRUE(refused.report.value("after", nlohmann::json::object()).value("mounted", false)) << refused.report.dump();
}

}  // namespace
}  // namespace harbormind::test
