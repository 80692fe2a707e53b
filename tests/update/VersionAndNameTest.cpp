#include <gtest/gtest.h>
#include <sodium.h>

#include "update/MacUpdateAppInfoObject.h"
#include "update/UpdateFileName.h"
#include "update/UpdateSignature.h"
#include "update/VersionComparison.h"

namespace harbormind {
namespace {

TEST(VersionComparisonTest, DigitRunsCompareAsNumbers) {
    EXPECT_LT(VersionComparison::compare("3.9", "3.10"), 0);
    EXPECT_GT(VersionComparison::compare("3.10", "3.9"), 0);
    EXPECT_EQ(VersionComparison::compare("3.0", "3.0"), 0);
    EXPECT_EQ(VersionComparison::compare("3.01", "3.1"), 0);
    EXPECT_LT(VersionComparison::compare("3.0", "3.0.1"), 0);
    EXPECT_LT(VersionComparison::compare("2.99", "10.0"), 0);
    EXPECT_LT(VersionComparison::compare("1.2.3", "1.2.40000000000000000000000"), 0);
    EXPECT_LT(VersionComparison::compare("", "0"), 0);
}

TEST(VersionComparisonTest, NewVersionNeedsAHigherLatestVersion) {
    MacUpdateAppInfoObject record("Kestrane Harbormind", "harbormind", "3.9", "101");
    EXPECT_FALSE(record.isNewVersionAvailable());
    record.latestVersion = "3.9";
    EXPECT_FALSE(record.isNewVersionAvailable());
    record.latestVersion = "3.10";
    EXPECT_TRUE(record.isNewVersionAvailable());
}

TEST(UpdateFileNameTest, ServerNamesBecomePlainBaseNames) {
    EXPECT_EQ(UpdateFileName::safeBaseName("kestrane-harbormind_3.10_amd64.deb"), "kestrane-harbormind_3.10_amd64.deb");
    EXPECT_EQ(UpdateFileName::safeBaseName("../../etc/cron.d/evil.deb"), "evil.deb");
    EXPECT_EQ(UpdateFileName::safeBaseName("..\\..\\x.deb"), "x.deb");
    EXPECT_EQ(UpdateFileName::safeBaseName("..hidden.deb"), "hidden.deb");
    EXPECT_EQ(UpdateFileName::safeBaseName("a b;$(rm -rf ~).deb"), "a_b___rm_-rf_~_.deb");
    EXPECT_EQ(UpdateFileName::safeBaseName(".."), "kestrane-harbormind-update.deb");
    EXPECT_EQ(UpdateFileName::safeBaseName(""), "kestrane-harbormind-update.deb");
    EXPECT_EQ(UpdateFileName::safeBaseName(std::string(300, 'a') + ".deb").size(), 128U);
}

TEST(UpdateFileNameTest, SignatureSitsBesideThePackage) {
    EXPECT_EQ(UpdateFileName::signatureURL("https://h/p/a.deb"), "https://h/p/a.deb.sig");
    EXPECT_EQ(UpdateFileName::signatureURL("https://h/p/a.deb?t=1"), "https://h/p/a.deb.sig?t=1");
}

TEST(UpdateSignatureTest, OnlyTheRightKeyOverTheRightBytesVerifies) {
    ASSERT_GE(sodium_init(), 0);
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publicKey, secretKey);
    char hex[2 * crypto_sign_PUBLICKEYBYTES + 1];
    sodium_bin2hex(hex, sizeof(hex), publicKey, sizeof(publicKey));
    const std::string contents = "package bytes";
    std::string signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(contents.data()), contents.size(), secretKey);

    EXPECT_TRUE(UpdateSignature::verify(contents, signature, hex));
    EXPECT_FALSE(UpdateSignature::verify(contents + "x", signature, hex));
    std::string damaged = signature;
    damaged[10] = static_cast<char>(damaged[10] ^ 1);
    EXPECT_FALSE(UpdateSignature::verify(contents, damaged, hex));
    EXPECT_FALSE(UpdateSignature::verify(contents, signature.substr(1), hex));
    EXPECT_FALSE(UpdateSignature::verify(contents, signature, ""));
    EXPECT_FALSE(UpdateSignature::verify(contents, signature, std::string(64, 'z')));
    std::string otherKey(hex);
    otherKey[0] = otherKey[0] == '0' ? '1' : '0';
    EXPECT_FALSE(UpdateSignature::verify(contents, signature, otherKey));
}

}  // namespace
}  // namespace harbormind
