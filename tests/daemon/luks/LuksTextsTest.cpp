#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "daemon/linux/DeviceMapperPresence.h"
#include "daemon/linux/LuksCommandLines.h"
#include "daemon/linux/LuksDumpText.h"
#include "daemon/linux/LuksProgressLine.h"
#include "daemon/linux/LuksRecoveryKey.h"

namespace harbormind {
namespace {

using Words = std::vector<std::string>;

TEST(LuksCommandLines, NoSecretEverReachesACommandLineAndEachLayoutGetsItsOptions) {
    LuksCommandLines commands("/usr/sbin/cryptsetup", "/usr/sbin");
    EXPECT_EQ(commands.encrypt("/dev/loop3", "/var/lib/kestrane/luks/loop3.luks2-header"),
              (Words{"/usr/sbin/cryptsetup", "reencrypt", "--encrypt", "--type", "luks2", "--batch-mode",
                     "--key-file", "-", "--progress-json", "--progress-frequency", "1", "--header",
                     "/var/lib/kestrane/luks/loop3.luks2-header", "--luks2-keyslots-size", "2M", "/dev/loop3"}));
    // The header in front: the data moves by the room the shrunk file system left.
    EXPECT_EQ(commands.encrypt("/dev/sdb1", ""),
              (Words{"/usr/sbin/cryptsetup", "reencrypt", "--encrypt", "--type", "luks2", "--batch-mode",
                     "--key-file", "-", "--progress-json", "--progress-frequency", "1", "--reduce-device-size",
                     "32M", "/dev/sdb1"}));
    EXPECT_EQ(commands.checkBeforeShrink("/dev/sdb1"), (Words{"/usr/sbin/e2fsck", "-f", "-p", "/dev/sdb1"}));
    // 1 GiB less the 32 MiB of room, in KiB.
    EXPECT_EQ(commands.shrink("/dev/sdb1", 1ULL << 30), (Words{"/usr/sbin/resize2fs", "/dev/sdb1", "1015808K"}));
    EXPECT_EQ(commands.resume("/dev/sdb1", ""),
              (Words{"/usr/sbin/cryptsetup", "reencrypt", "--resume-only", "--batch-mode", "--key-file", "-",
                     "--progress-json", "--progress-frequency", "1", "/dev/sdb1"}));
    EXPECT_EQ(commands.open("bitlk", "/dev/sdc1", "", "hm-sdc1", true),
              (Words{"/usr/sbin/cryptsetup", "open", "--type", "bitlk", "--key-file", "-", "--readonly",
                     "/dev/sdc1", "hm-sdc1"}));
    EXPECT_EQ(commands.testKey("/dev/loop3", "/h", 1),
              (Words{"/usr/sbin/cryptsetup", "open", "--test-passphrase", "--key-file", "-", "--key-slot", "1",
                     "--header", "/h", "/dev/loop3"}));
    EXPECT_EQ(commands.repair("/dev/loop3", "/h"),
              (Words{"/usr/sbin/cryptsetup", "repair", "--batch-mode", "--key-file", "-", "--header", "/h",
                     "/dev/loop3"}));
    commands.setIterationMilliseconds(50);
    EXPECT_EQ(commands.addKey("/dev/loop3", "/h"),
              (Words{"/usr/sbin/cryptsetup", "luksAddKey", "--batch-mode", "--header", "/h", "--iter-time", "50",
                     "/dev/loop3"}));
}

TEST(LuksProgressLine, ReadsCryptsetupsReportsAndRefusesWhatMakesNoSense) {
    auto line = LuksProgressLine::parse(
        R"({"device":"/dev/loop3","device_bytes":"263782400","device_size":"1073741824","speed":"0","eta_ms":"0","time_ms":"2155"})");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->done, 263782400u);
    EXPECT_EQ(line->total, 1073741824u);
    EXPECT_FALSE(LuksProgressLine::parse("Finished, time 00:04.130, 1024 MiB written, speed 247.9 MiB/s"));
    EXPECT_FALSE(LuksProgressLine::parse(R"({"device_bytes":"5","device_size":"4"})"));
    EXPECT_FALSE(LuksProgressLine::parse(R"({"device_bytes":"","device_size":"4"})"));
    EXPECT_FALSE(LuksProgressLine::parse(R"({"device_bytes":"1","device_size":"99999999999999999999999"})"));
    EXPECT_FALSE(LuksProgressLine::parse(R"({"device_bytes":"1","device_size":"18446744073709551615"})"));
    EXPECT_FALSE(LuksProgressLine::parse(R"({"device_bytes":"1","device_size":"4)"));
    EXPECT_FALSE(LuksProgressLine::parse(""));
}

const char* const interruptedDump = "LUKS header information\nVersion:       \t2\nEpoch:         \t4\n"
                                    "Requirements:\tonline-reencrypt-v2 \n\nData segments:\n  0: linear\n\n"
                                    "Keyslots:\n  0: luks2 (unbound)\n\tKey:        512 bits\n"
                                    "Tokens:\nDigests:\n  0: pbkdf2\n";
const char* const finishedDump = "LUKS header information\nVersion:       \t2\nFlags:       \t(no flags)\n"
                                 "Requirements:\t(no requirements)\n\nKeyslots:\n  0: luks2\n\tKey:        512 "
                                 "bits\n  1: luks2\n\tKey:        512 bits\nTokens:\nDigests:\n  0: pbkdf2\n";

// What `luksDump` showed after cryptsetup was killed halfway through a step.
const char* const crashedDump = "LUKS header information\nVersion:       \t2\n"
                                "Requirements:\tonline-reencrypt-v2 \n\nData segments:\n  0: crypt\n"
                                "\toffset: 0 [bytes]\n\tlength: 441384960 [bytes]\n\n  1: crypt\n"
                                "\toffset: 441384960 [bytes]\n\tflags : in-reencryption\n\n  2: linear\n"
                                "\toffset: 470810624 [bytes]\n\nKeyslots:\n  0: luks2\n\tKey:        512 bits\n";

TEST(LuksDumpText, TellsAnUnfinishedReencryptionAndCountsOnlyKeySlots) {
    EXPECT_TRUE(LuksDumpText::needsResume(interruptedDump));
    EXPECT_FALSE(LuksDumpText::needsResume(finishedDump));
    EXPECT_FALSE(LuksDumpText::needsResume(""));
    // Only a step cryptsetup died in needs recovering; a clean stop does not.
    EXPECT_TRUE(LuksDumpText::needsRecovery(crashedDump));
    EXPECT_FALSE(LuksDumpText::needsRecovery(interruptedDump));
    EXPECT_FALSE(LuksDumpText::needsRecovery(finishedDump));
    EXPECT_EQ(LuksDumpText::keySlots(interruptedDump), 1);
    // The digest's "  0: pbkdf2" is not a key slot.
    EXPECT_EQ(LuksDumpText::keySlots(finishedDump), 2);
}

TEST(DeviceMapperPresence, TheKernelsListsDecideNotTheControlNode) {
    auto root = std::filesystem::temp_directory_path() / ("hm-dm-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root);
    std::ofstream(root / "misc") << " 60 loop-control\n237 btrfs-control\n";
    std::ofstream(root / "devices") << "Character devices:\n  1 mem\n\nBlock devices:\n  7 loop\n";
    EXPECT_FALSE(DeviceMapperPresence::present(root.string()));
    std::ofstream(root / "devices", std::ios::app) << "253 device-mapper\n";
    EXPECT_TRUE(DeviceMapperPresence::present(root.string()));
    EXPECT_NE(DeviceMapperPresence::missingReason("Unlocking sdb1").find("device-mapper"), std::string::npos);
    std::filesystem::remove_all(root);
}

TEST(LuksRecoveryKey, EightGroupsOfSixDigitsThatDifferEachTime) {
    std::string key = LuksRecoveryKey::generate();
    ASSERT_EQ(key.size(), 8 * 6 + 7u);
    for (std::size_t i = 0; i < key.size(); ++i) {
        EXPECT_TRUE(i % 7 == 6 ? key[i] == '-' : std::isdigit(static_cast<unsigned char>(key[i]))) << key;
    }
    EXPECT_NE(key, LuksRecoveryKey::generate());
}

}  // namespace
}  // namespace harbormind
