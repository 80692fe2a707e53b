// Encrypting a volume with a detached header, as installed: the administrator encrypts from the
// command line and saves the header, later exports it again; both files are the user's own
// (written by the client, never by the root daemon in the user's home) and open the volume with
// the password and with the recovery key. A user refused by polkit gets no header.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "system/support/SystemTest.h"

namespace harbormind::test {
namespace {

std::string readWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class EncryptionSystemTest : public SystemTest {
protected:
    // The file is the user's: theirs by owner, readable by them alone.
    void expectUsersOwnFile(const std::string& path, SystemRole role) {
        struct stat facts {};
        ASSERT_EQ(::stat(path.c_str(), &facts), 0) << path;
        EXPECT_EQ(facts.st_uid, account(role).uid()) << path << " is not the user's";
        EXPECT_EQ(facts.st_mode & 077, 0u) << path << " is open to others";
    }

    bool opensWith(const std::string& header, const std::string& device, const std::string& key) {
        return runProgram({"/bin/sh", "-c",
                           "printf %s \"$1\" | cryptsetup open --test-passphrase --header \"$2\" --key-file - \"$3\"",
                           "sh", key, header, device})
                   .status == 0;
    }

    const std::string password = "a long pass phrase 'with' $(quotes)";
};

TEST_F(EncryptionSystemTest, TheAdministratorsSavedAndExportedHeadersAreTheirOwnAndOpenTheVolume) {
    LoopVolume& volume = loopVolume({.fileSystem = "ext4", .label = "HMSECRET"});
    const std::string home = account(SystemRole::administrator).home();
    Outcome encrypted = ctl(SystemRole::administrator,
                            {"encrypt", volume.volume(), "--detached-header", "--save-header", home + "/saved.header"},
                            password);
    ASSERT_EQ(encrypted.status, 0) << encrypted.out << encrypted.err << daemonLog();
    const std::string marker = "Recovery key (shown once; keep it safe): ";
    auto at = encrypted.out.find(marker);
    ASSERT_NE(at, std::string::npos) << encrypted.out;
    std::string key = encrypted.out.substr(at + marker.size(), 55);

    std::string kept = readWhole(folder() + "/luks/" + volume.volume() + ".luks2-header");
    ASSERT_FALSE(kept.empty());
    expectUsersOwnFile(home + "/saved.header", SystemRole::administrator);
    EXPECT_EQ(readWhole(home + "/saved.header"), kept);

    Outcome exported =
        ctl(SystemRole::administrator, {"encrypt", "--export-header", volume.volume(), home + "/exported.header"});
    ASSERT_EQ(exported.status, 0) << exported.out << exported.err;
    expectUsersOwnFile(home + "/exported.header", SystemRole::administrator);
    EXPECT_EQ(readWhole(home + "/exported.header"), kept);
    EXPECT_TRUE(opensWith(home + "/exported.header", volume.volumePath(), password));
    EXPECT_TRUE(opensWith(home + "/exported.header", volume.volumePath(), key));

    const std::string refusedHome = account(SystemRole::refused).home();
    Outcome refused =
        ctl(SystemRole::refused, {"encrypt", "--export-header", volume.volume(), refusedHome + "/taken.header"});
    EXPECT_NE(refused.status, 0);
    struct stat facts {};
    EXPECT_NE(::stat((refusedHome + "/taken.header").c_str(), &facts), 0) << "a refused user got the header";
}

}  // namespace
}  // namespace harbormind::test
