#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <filesystem>
#include <mutex>

#include "testsupport/LoopDisk.h"
#include "MediaRootHelper.h"
#include "platform/DeviceRegistry.h"
#include "platform/DiskArbitration.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/FileSystemInfo.h"
#include "platform/ProcessLauncher.h"
#include "platform/linux/diskevents/LinuxDiskWatcher.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/Clock.h"
#include "support/SerialQueue.h"

// Real-device tests: loop devices, the kernel's events, the mount helper. They need root
// and skip elsewhere. Other programs may use loop devices at the same time, so every check
// looks only at this test's own devices.

namespace harbormind {
namespace {

using Key = DiskDescriptionKey;

class LinuxPlatformRealDeviceTest : public testing::Test {
protected:
    void SetUp() override {
        if (std::string reason = test::LoopDisk::unavailableReason(); !reason.empty()) {
            GTEST_SKIP() << "Real-device test skipped: " << reason;
        }
        std::string pattern = (std::filesystem::temp_directory_path() / "hm-media-XXXXXX").string();
        mediaRoot = ::mkdtemp(pattern.data());
        LinuxPaths paths;
        paths.mountHelper = test::mountHelperWithMediaRoot(HARBORMIND_TEST_MOUNT_HELPER, mediaRoot);
        paths.mediaRoot = mediaRoot;
        platform = std::make_shared<LinuxPlatform>(paths);
        session = platform->diskArbitration().createSession();
        session->setDispatchQueue(queue);
    }
    void TearDown() override {
        if (session) {
            session->setDispatchQueue(nullptr);
        }
        disk.reset();
        if (!mediaRoot.empty()) {
            std::error_code error;
            // Only empty folders are left once the disk is detached; remove_all would follow
            // nothing either way (a mount is gone by now).
            std::filesystem::remove_all(mediaRoot, error);
        }
    }

    // Set before a mount can happen, read on the session's queue.
    bool ours(const std::string& name) const {
        std::lock_guard lock(nameMutex);
        return !diskName.empty() && (name == diskName || name.rfind(diskName + "p", 0) == 0);
    }

    void listen(std::optional<DADissenter> mountAnswer = std::nullopt) {
        session->registerDiskDisappeared([this](const DADisk& d) { record("disappeared", d.bsdName()); });
        session->registerDiskDescriptionChanged([this](const DADisk& d, const std::vector<std::string>& keys) {
            for (const auto& key : keys) {
                record("changed " + key, d.bsdName());
            }
        });
        session->registerDiskMountApproval([this, mountAnswer](const DADisk& d) {
            record("mount?", d.bsdName());
            return ours(d.bsdName()) ? mountAnswer : std::nullopt;
        });
        session->registerDiskUnmountApproval([this](const DADisk& d) -> std::optional<DADissenter> {
            record("unmount?", d.bsdName());
            return std::nullopt;
        });
        session->registerDiskAppeared([this](const DADisk& d) { record("appeared", d.bsdName()); });
    }

    // Every event is kept: one may arrive before the test learnt its device's name. Checks
    // look for events of their own devices only, and only from the moment the device was
    // theirs: another program may have used the same loop device a moment earlier, and the
    // platform rightly reported that device's appearance and changes under the same name.
    void record(const std::string& what, const std::string& name) {
        {
            std::lock_guard lock(mutex);
            events.push_back(what + " " + name);
        }
        Clock::current().notifyAll();
    }

    // Waits up to 20 seconds for an event, among those from `from` on (by default those that
    // came after the test's device was attached).
    bool waitFor(const std::string& event, std::optional<std::size_t> from = std::nullopt) {
        Clock& clock = Clock::current();
        return clock.waitUntil(
            [&] {
                std::lock_guard lock(mutex);
                auto begin = events.begin() + static_cast<std::ptrdiff_t>(std::min(from.value_or(ownFrom), events.size()));
                return std::find(begin, events.end(), event) != events.end();
            },
            clock.now() + seconds(20));
    }

    // Lets every event the platform has worked out so far reach the test, and answers how many
    // there are: whatever comes later was worked out from the machine as it is from now on.
    std::size_t settledEventCount() {
        platform->diskWatcher().sync([] {});
        queue->sync([] {});
        std::lock_guard lock(mutex);
        return events.size();
    }

    std::optional<DiskDescription> describe(const std::string& name) {
        return session->copyDescription(DADisk(name));
    }

    // Attaches a fresh image with the given sfdisk script, announces its partitions and
    // waits until every partition has appeared.
    void attach(int megabytes, const std::string& script, int partitions) {
        disk = std::make_unique<test::LoopDisk>(megabytes);
        ASSERT_TRUE(disk->partition(script));
        const std::size_t beforeAttaching = settledEventCount();
        ASSERT_TRUE(disk->attach()) << "could not attach a loop device";
        {
            std::lock_guard lock(nameMutex);
            diskName = disk->name();
        }
        // The device is this test's own from here on; the platform may have reported it
        // (and its partitions, where the kernel reads the table itself) a moment ago already.
        ownFrom = settledEventCount();
        ASSERT_TRUE(waitFor("appeared " + disk->name(), beforeAttaching));
        ASSERT_TRUE(disk->announcePartitions());
        for (int i = 1; i <= partitions; ++i) {
            ASSERT_TRUE(waitFor("appeared " + disk->partition(i), beforeAttaching)) << disk->partition(i);
        }
    }

    // Waits until a description key of `name` reads `value`.
    bool waitForText(const std::string& name, const char* key, const std::string& value) {
        Clock& clock = Clock::current();
        return clock.waitUntil(
            [&] {
                auto description = describe(name);
                return description && description->text(key) == value;
            },
            clock.now() + seconds(20));
    }

    std::optional<DADissenter> run(const std::function<void(DiskArbitrationSession::CompletionCallback)>& request) {
        std::mutex doneMutex;
        bool done = false;
        std::optional<DADissenter> result;
        request([&](const DADisk&, std::optional<DADissenter> dissent) {
            {
                std::lock_guard lock(doneMutex);
                result = dissent;
                done = true;
            }
            Clock::current().notifyAll();
        });
        Clock::current().waitUntil(
            [&] {
                std::lock_guard lock(doneMutex);
                return done;
            },
            Clock::current().now() + seconds(60));
        std::lock_guard lock(doneMutex);
        EXPECT_TRUE(done) << "no completion";
        return result;
    }

    std::string mediaRoot;
    std::shared_ptr<LinuxPlatform> platform;
    std::shared_ptr<DiskArbitrationSession> session;
    std::shared_ptr<SerialQueue> queue = SerialQueue::create("test.real");
    std::unique_ptr<test::LoopDisk> disk;
    std::mutex mutex;
    std::vector<std::string> events;
    std::size_t ownFrom = 0;  // index of the first event after the test's device became its own
    mutable std::mutex nameMutex;
    std::string diskName;
};

TEST_F(LinuxPlatformRealDeviceTest, AGptImageAppearsWithItsPartitionsDescribedAndLinked) {
    listen();
    attach(160, "label: gpt\\n,60M,L\\n,60M,EBD0A0A2-B9E5-4433-87C0-68B6B72699C7\\n", 2);
    const std::string name = disk->name();
    auto whole = describe(name);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->text(Key::mediaContent), "GUID_partition_scheme");
    EXPECT_EQ(whole->boolean(Key::mediaWhole), true);
    EXPECT_EQ(whole->boolean(Key::deviceInternal), false);
    EXPECT_EQ(whole->text(Key::deviceProtocol), "VIRTUAL INTERFACE");
    EXPECT_EQ(whole->text(Key::mediaName), "disk.img");
    EXPECT_EQ(whole->integer(Key::mediaSize), 160LL * 1024 * 1024);

    auto first = describe(disk->partition(1));
    EXPECT_EQ(first->text(Key::mediaContent), "0FC63DAF-8483-4772-8E79-3D69D8477DE4");
    EXPECT_EQ(first->boolean(Key::mediaWhole), false);
    EXPECT_EQ(first->integer(Key::mediaSize), 60LL * 1024 * 1024);
    EXPECT_TRUE(first->text(Key::mediaUUID));

    // Formatting sends no kernel event; the write to the device node is seen instead.
    ASSERT_TRUE(disk->format(1, "mkfs.ext4 -q -F -L Linuxdata"));
    EXPECT_TRUE(waitFor("changed DAVolumeKind " + disk->partition(1)));
    EXPECT_EQ(describe(disk->partition(1))->text(Key::volumeKind), "ext4");
    EXPECT_EQ(describe(disk->partition(1))->text(Key::volumeName), "Linuxdata");
    if (disk->format(2, "mkfs.vfat -n WINDATA")) {
        EXPECT_TRUE(waitForText(disk->partition(2), Key::volumeKind, "msdos"));
        EXPECT_EQ(describe(disk->partition(2))->text(Key::volumeName), "WINDATA");
    }

    // The registry: the partition hangs below the disk; the disk below a driver, not a disk.
    DeviceRegistry& registry = platform->registry();
    auto media = session->copyIOMedia(DADisk(disk->partition(1)));
    ASSERT_TRUE(media);
    auto parent = registry.parentEntry(*media);
    ASSERT_TRUE(parent);
    EXPECT_EQ(registry.property(*parent, "BSD Name")->asText(), name);
    auto driver = registry.parentEntry(*parent);
    ASSERT_TRUE(driver);
    EXPECT_EQ(registry.property(*driver, "IOClass")->asText(), "IOBlockStorageDriver");
    EXPECT_FALSE(registry.property(*driver, "BSD Name"));
    EXPECT_EQ(registry.property(*media, "Partition ID")->asInteger(), 1);
}

TEST_F(LinuxPlatformRealDeviceTest, AnMbrImageWithExfatAndNtfsIsClassified) {
    listen();
    attach(200, "label: dos\\n,80M,7\\n,80M,7\\n", 2);
    EXPECT_EQ(describe(disk->name())->text(Key::mediaContent), "FDisk_partition_scheme");
    EXPECT_EQ(describe(disk->partition(1))->text(Key::mediaContent), "Windows_NTFS");
    if (!disk->format(1, "mkfs.exfat -L Camera") || !disk->format(2, "mkfs.ntfs -Q -q -L Archive")) {
        GTEST_SKIP() << "mkfs.exfat or mkfs.ntfs is not installed";
    }
    EXPECT_TRUE(waitForText(disk->partition(1), Key::volumeKind, "exfat"));
    EXPECT_TRUE(waitForText(disk->partition(2), Key::volumeKind, "ntfs"));
    EXPECT_EQ(describe(disk->partition(1))->text(Key::volumeName), "Camera");
    EXPECT_EQ(describe(disk->partition(2))->text(Key::volumeName), "Archive");
    // exFAT's boot sector looks like an MBR, yet the partition is no partitioned disk.
    EXPECT_EQ(describe(disk->partition(1))->text(Key::mediaContent), "Windows_NTFS");
}

TEST_F(LinuxPlatformRealDeviceTest, MountingAndUnmountingThroughTheSession) {
    listen();
    attach(120, "label: gpt\\n,80M,L\\n", 1);
    const std::string volume = disk->partition(1);
    ASSERT_TRUE(disk->format(1, "mkfs.ext4 -q -F -L Photos"));
    ASSERT_TRUE(waitForText(volume, Key::volumeKind, "ext4"));

    auto mounted = run([&](auto done) { session->mount(DADisk(volume), std::nullopt, 0, done); });
    EXPECT_FALSE(mounted) << mounted->statusString;
    EXPECT_TRUE(waitFor("mount? " + volume));
    EXPECT_TRUE(waitFor("changed DAVolumePath " + volume));
    std::string expected = mediaRoot + "/root/Photos";
    ASSERT_EQ(describe(volume)->text(Key::volumePath), expected);
    EXPECT_EQ(session->diskFromVolumePath(expected)->bsdName(), volume);

    // The space the platform reports is what statvfs says.
    struct statvfs facts {};
    ASSERT_EQ(::statvfs(expected.c_str(), &facts), 0);
    FileSystemSpace space = platform->fileSystem().space(expected);
    EXPECT_EQ(space.totalBytes, static_cast<std::int64_t>(facts.f_blocks * facts.f_frsize));
    EXPECT_EQ(space.freeBytes, static_cast<std::int64_t>(facts.f_bavail * facts.f_frsize));

    auto unmounted = run([&](auto done) { session->unmount(DADisk(volume), 0, done); });
    EXPECT_FALSE(unmounted);
    EXPECT_TRUE(waitFor("unmount? " + volume));
    EXPECT_FALSE(describe(volume)->text(Key::volumePath));
    EXPECT_FALSE(std::filesystem::exists(expected)) << "the mount folder is removed";
}

TEST_F(LinuxPlatformRealDeviceTest, AMountMadeElsewhereIsAskedAboutAndADissentTakesItAway) {
    listen(DADissenter{DADissenter::notPermitted, "Denied"});
    attach(120, "label: gpt\\n,80M,L\\n", 1);
    const std::string volume = disk->partition(1);
    ASSERT_TRUE(disk->format(1, "mkfs.ext4 -q -F -L Blocked"));
    ASSERT_TRUE(waitForText(volume, Key::volumeKind, "ext4"));
    std::string target = mediaRoot + "/elsewhere";
    std::filesystem::create_directories(target);
    ASSERT_TRUE(test::LoopDisk::shell("mount '/dev/" + volume + "' '" + target + "'"));
    EXPECT_TRUE(waitFor("mount? " + volume));
    Clock& clock = Clock::current();
    EXPECT_TRUE(clock.waitUntil([&] { return !describe(volume)->text(Key::volumePath); }, clock.now() + seconds(20)))
        << "the refused volume was not unmounted";
    std::lock_guard lock(mutex);
    EXPECT_EQ(std::count(events.begin() + static_cast<std::ptrdiff_t>(ownFrom), events.end(), "unmount? " + volume), 0);
}

TEST_F(LinuxPlatformRealDeviceTest, AFuseVolumeMountsReadWriteWhenTheKernelHasNoDriver) {
    listen();
    attach(120, "label: dos\\n,80M,7\\n", 1);
    const std::string volume = disk->partition(1);
    if (!disk->format(1, "mkfs.exfat -L Fusevol")) {
        GTEST_SKIP() << "mkfs.exfat is not installed";
    }
    ASSERT_TRUE(waitForText(volume, Key::volumeKind, "exfat"));
    auto mounted = run([&](auto done) { session->mount(DADisk(volume), std::nullopt, 0, done); });
    ASSERT_FALSE(mounted) << mounted->statusString;
    std::string path = mediaRoot + "/root/Fusevol";
    EXPECT_TRUE(waitForText(volume, Key::volumePath, path));
    EXPECT_TRUE(test::LoopDisk::shell("touch '" + path + "/written'"));
    auto unmounted = run([&](auto done) { session->unmount(DADisk(volume), 0, done); });
    EXPECT_FALSE(unmounted);
    EXPECT_FALSE(describe(volume)->text(Key::volumePath));
}

TEST_F(LinuxPlatformRealDeviceTest, EjectingDetachesTheImageAndEveryPartDisappears) {
    listen();
    attach(120, "label: gpt\\n,40M,L\\n,40M,L\\n", 2);
    const std::string name = disk->name();
    auto ejected = run([&](auto done) { session->eject(DADisk(name), 0, done); });
    EXPECT_FALSE(ejected) << ejected->statusString;
    EXPECT_TRUE(waitFor("disappeared " + name));
    EXPECT_TRUE(waitFor("disappeared " + disk->partition(1)));
    EXPECT_TRUE(waitFor("disappeared " + disk->partition(2)));
    EXPECT_FALSE(disk->isOurs());
}

TEST_F(LinuxPlatformRealDeviceTest, ALuksPartitionIsEncryptedMedia) {
    listen();
    attach(80, "label: gpt\\n,40M,L\\n", 1);
    if (!disk->format(1, "echo -n secret | cryptsetup luksFormat --type luks2 --pbkdf pbkdf2 "
                         "--pbkdf-force-iterations 1000 -q --key-file=-")) {
        GTEST_SKIP() << "cryptsetup is not installed";
    }
    ASSERT_TRUE(waitForText(disk->partition(1), Key::volumeKind, "luks"));
    EXPECT_EQ(describe(disk->partition(1))->boolean(Key::mediaEncrypted), true);
    // Opening it needs device-mapper; without it the helper reports the failure.
    auto result = platform->processes().run(HARBORMIND_TEST_MOUNT_HELPER, {"unlock", disk->partition(1)}, "secret");
    if (!std::filesystem::exists("/dev/mapper/control")) {
        EXPECT_NE(result.exitStatus, 0);
        EXPECT_TRUE(result.standardOutput.empty());
        EXPECT_FALSE(result.standardError.empty());
    }
}

}  // namespace
}  // namespace harbormind
