#include <gtest/gtest.h>

#include <sodium.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "daemon/DaemonBusFixture.h"
#include "daemon/linux/LinuxDaemonBackend.h"
#include "platform/linux/processes/LinuxUpdateInstaller.h"
#include "testsupport/WholeFile.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

// The daemon's update service on a private bus with a signing key of the test's own and a
// package manager that records what it was given; the application's side hands it the
// downloaded files as it does on a desktop.
class UpdateInstallTest : public test::DaemonBusFixture {
protected:
    void SetUp() override {
        DaemonBusFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        ASSERT_GE(sodium_init(), 0);
        crypto_sign_keypair(publicKey, secretKey);
        char hex[2 * crypto_sign_PUBLICKEYBYTES + 1];
        sodium_bin2hex(hex, sizeof hex, publicKey, sizeof publicKey);
        folder = bus->folder();
        fs::create_directories(folder + "/record");
        fs::create_directories(folder + "/cache");
        std::ofstream(folder + "/install.sh")
            << "#!/bin/sh\nrecord=" << folder << "/record\n"
            << "stat -c '%u %a' \"$(dirname \"$1\")\" > \"$record/folder\"\n"
            << "stat -c '%u %a' \"$1\" > \"$record/file\"\ncp \"$1\" \"$record/installed\"\n";
        UpdateInstallSettings settings{folder + "/updates", hex, {"/bin/sh", folder + "/install.sh"}};
        serve(std::make_shared<LinuxDaemonBackend>(folder + "/media", folder + "/luks", 0, "", folder + "/state",
                                                   settings));
    }

    std::string sign(const std::string& contents) const {
        std::string signature(crypto_sign_BYTES, '\0');
        crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             reinterpret_cast<const unsigned char*>(contents.data()), contents.size(), secretKey);
        return signature;
    }

    // A download in the user's cache folder, as the application leaves it.
    std::string download(const std::string& contents, const std::string& signature) const {
        const std::string path = folder + "/cache/update.deb";
        std::ofstream(path, std::ios::binary) << contents;
        std::ofstream(path + ".sig", std::ios::binary) << signature;
        return path;
    }

    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    std::string folder;
};

TEST_F(UpdateInstallTest, TheDaemonInstallsItsOwnCheckedCopyFromAFolderOnlyRootEnters) {
    const std::string package = "!<arch>\nthe signed package";
    const std::string path = download(package, sign(package));
    UpdateInstaller::Answer answer = LinuxUpdateInstaller().install(path, path + ".sig");
    EXPECT_TRUE(answer.installed) << answer.message;
    EXPECT_EQ(authorizer->lastAction, DaemonAction::installUpdate);
    EXPECT_EQ(test::readWholeFile(folder + "/record/installed"), package);
    const std::string owner = std::to_string(::geteuid());
    EXPECT_EQ(test::readWholeFile(folder + "/record/folder"), owner + " 700\n");
    EXPECT_EQ(test::readWholeFile(folder + "/record/file"), owner + " 600\n");
    EXPECT_TRUE(fs::is_empty(folder + "/updates")) << "the copy is removed once installed";
}

// The application checked the download; then another program of the user replaced it before
// the administrator's password was typed. The daemon checks the bytes it installs itself.
TEST_F(UpdateInstallTest, APackageSwappedAfterTheApplicationsCheckIsNotInstalled) {
    const std::string signedPackage = "!<arch>\nthe signed package";
    const std::string path = download(signedPackage, sign(signedPackage));
    std::ofstream(path, std::ios::binary) << "!<arch>\nsomething else";
    UpdateInstaller::Answer answer = LinuxUpdateInstaller().install(path, path + ".sig");
    EXPECT_FALSE(answer.installed);
    EXPECT_NE(answer.message.find("valid signature"), std::string::npos) << answer.message;
    EXPECT_FALSE(fs::exists(folder + "/record/installed"));
    EXPECT_TRUE(fs::is_empty(folder + "/updates"));

    authorizer->allowed = false;
    const std::string path2 = download(signedPackage, sign(signedPackage));
    EXPECT_FALSE(LinuxUpdateInstaller().install(path2, path2 + ".sig").installed);
    EXPECT_FALSE(fs::exists(folder + "/record/installed"));
}

}  // namespace
}  // namespace harbormind
