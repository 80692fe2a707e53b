// The engine on real loop devices. Needs root and losetup; skips elsewhere.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <random>

#include "engines/clone/CloneEngine.h"
#include "engines/clone/CloneLoopDevice.h"
#include "engines/clone/CloneTestProgram.h"
#include "support/VirtualClock.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/WholeFile.h"

namespace harbormind::clone::test {
namespace {

namespace fs = std::filesystem;
constexpr std::uint64_t MiB = 1u << 20;

class CloneLoopDeviceTest : public testing::Test {
protected:
    void SetUp() override {
        if (std::string reason = CloneLoopDevice::unavailableReason(); !reason.empty()) {
            GTEST_SKIP() << reason;
        }
        std::string pattern = (fs::temp_directory_path() / "hm-clone-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        options.stateFolder = folder / "state";
        options.checkpointBytes = 16 * MiB;
        // Every chunk reports, so a stop at a chosen byte lands there however fast the copy runs.
        options.progressInterval = Clock::Duration::zero();
    }
    void TearDown() override {
        if (!folder.empty()) {
            for (const char* mountPoint : {"source-mnt", "destination-mnt"}) {
                if (fs::exists(folder / mountPoint)) {
                    runProgram({"umount", (folder / mountPoint).string()});
                }
            }
            std::error_code error;
            fs::remove_all(folder, error);
        }
    }

    std::unique_ptr<CloneLoopDevice> loop(const std::string& file, std::uint64_t megabytes,
                                          std::vector<std::string> losetupOptions = {}) {
        auto device = std::make_unique<CloneLoopDevice>(folder, file, megabytes, std::move(losetupOptions));
        EXPECT_TRUE(device->attached()) << "cannot attach " << file;
        return device;
    }

    static std::string fileContent(int index) {
        std::mt19937_64 random(static_cast<std::uint64_t>(index) * 7919u);
        std::vector<std::uint64_t> words(((static_cast<std::size_t>(index) % 5 + 1) * 3 * MiB) / 8 +
                                         17u * index);
        for (auto& word : words) {
            word = random();
        }
        return std::string(reinterpret_cast<const char*>(words.data()), words.size() * 8);
    }

    // An ext4 file system holding random files, made from a folder with them, never mounted:
    // a mount namespace another program makes meanwhile would keep a copy of the mount, and
    // the volume mounted (its files not yet written to the device) after the test's unmount.
    void fillWithFiles(const CloneLoopDevice& device) {
        fs::create_directories(folder / "files");
        for (int i = 0; i < fileCount; ++i) {
            std::ofstream(folder / "files" / ("file" + std::to_string(i)), std::ios::binary) << fileContent(i);
        }
        ASSERT_EQ(runProgram({"mkfs.ext4", "-q", "-F", "-d", (folder / "files").string(), device.node()}), 0);
    }

    // Mounted read-only in a mount namespace of the test's own, for the same reason.
    void expectFiles(const CloneLoopDevice& device) {
        fs::path mountPoint = folder / "destination-mnt";
        fs::create_directories(mountPoint);
        std::string differing;
        EXPECT_EQ(runProgram({"unshare", "--mount", "--propagation", "private", "sh", "-c",
                              "mount -o ro \"$1\" \"$2\" || exit 2\n"
                              "for file in \"$3\"/*; do cmp -s \"$file\" \"$2/${file##*/}\" || echo \"${file##*/}\"; done",
                              "sh", device.node(), mountPoint.string(), (folder / "files").string()},
                             &differing),
                  0);
        EXPECT_EQ(differing, "") << "these files differ";
    }

    static void fillRandom(const CloneLoopDevice& device, std::uint64_t seed) {
        std::ofstream out(device.node(), std::ios::binary | std::ios::in);
        std::mt19937_64 random(seed);
        std::vector<std::uint64_t> block(MiB / 8);
        for (std::uint64_t offset = 0; offset < fs::file_size(device.image()); offset += MiB) {
            for (auto& word : block) {
                word = random();
            }
            out.write(reinterpret_cast<const char*>(block.data()), MiB);
        }
    }

    // The MiB blocks of the first `length` bytes in which two files or devices differ, read
    // with `flags` added (O_DIRECT: what the device holds, not what a reader cached before).
    static std::vector<std::uint64_t> differingBlocks(const std::string& a, const std::string& b,
                                                      std::uint64_t length, int flags) {
        int left = ::open(a.c_str(), O_RDONLY | O_CLOEXEC | flags);
        int right = ::open(b.c_str(), O_RDONLY | O_CLOEXEC | flags);
        std::vector<std::uint64_t> differing;
        void* one = nullptr;
        void* two = nullptr;
        if (left < 0 || right < 0 || ::posix_memalign(&one, 4096, MiB) != 0 ||
            ::posix_memalign(&two, 4096, MiB) != 0) {
            differing.push_back(UINT64_MAX);
        }
        for (std::uint64_t block = 0; differing.empty() || differing[0] != UINT64_MAX; ++block) {
            if (block * MiB >= length) {
                break;
            }
            auto offset = static_cast<off_t>(block * MiB);
            if (::pread(left, one, MiB, offset) != static_cast<ssize_t>(MiB) ||
                ::pread(right, two, MiB, offset) != static_cast<ssize_t>(MiB) || std::memcmp(one, two, MiB) != 0) {
                differing.push_back(block);
            }
        }
        std::free(one);
        std::free(two);
        for (int fd : {left, right}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        return differing;
    }

    static std::string describe(const std::vector<std::uint64_t>& blocks) {
        if (blocks.empty()) {
            return "same";
        }
        std::string text = std::to_string(blocks.size()) + " MiB blocks differ:";
        for (std::size_t i = 0; i < blocks.size() && i < 16; ++i) {
            text += " " + std::to_string(blocks[i]);
        }
        return text;
    }

    // Compares what the devices hold; on a difference says where, also through the page
    // cache and in the image files behind them.
    static testing::AssertionResult sameBytes(const CloneLoopDevice& a, const CloneLoopDevice& b,
                                              std::uint64_t length) {
        auto direct = differingBlocks(a.node(), b.node(), length, O_DIRECT);
        if (direct.empty()) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure()
               << a.name() << " and " << b.name()
               << (a.isOurs() && b.isOurs() ? "" : " (no longer both on the test's images)") << " read directly: "
               << describe(direct) << "; through the page cache: "
               << describe(differingBlocks(a.node(), b.node(), length, 0))
               << "; their image files: " << describe(differingBlocks(a.image(), b.image(), length, 0));
    }

    // Runs one clone to its end and returns every report.
    std::vector<CloneProgress> clone(CloneEngine& engine, const std::string& destination,
                                     const std::string& source, bool isCover,
                                     std::uint64_t cancelAt = UINT64_MAX) {
        std::vector<CloneProgress> reports;
        EXPECT_EQ(engine.clonDeviceWithStrDestinDevice(destination, source, isCover,
                                                       [&](const CloneProgress& progress) {
                                                           reports.push_back(progress);
                                                           if (progress.status != DMProgressStatus::running) {
                                                               busyAtLastReport =
                                                                   engine.isRunning() ||
                                                                   engine.isCloneRunningOnto(destination);
                                                           }
                                                           return progress.current >= cancelAt
                                                                      ? CloneReply::cancel
                                                                      : CloneReply::proceed;
                                                       }),
                  0);
        engine.waitUntilFinished();
        return reports;
    }

    const int fileCount = 10;
    // Whether the engine still counted as busy when the last report of a clone came.
    bool busyAtLastReport = false;
    fs::path folder;
    CloneOptions options;
};

TEST_F(CloneLoopDeviceTest, ClonesAFileSystemOntoALargerDevice) {
    auto source = loop("source.img", 256);
    auto destination = loop("destination.img", 320);
    fillWithFiles(*source);
    CloneEngine engine(options);

    auto reports = clone(engine, "/dev/r" + destination->name(), "/dev/r" + source->name(), false);

    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().status, DMProgressStatus::finished);
    EXPECT_EQ(reports.back().error, DMProgressError::noError);
    EXPECT_EQ(reports.back().current, 256 * MiB);
    EXPECT_EQ(reports.back().total, 256 * MiB);
    for (std::size_t i = 1; i < reports.size(); ++i) {
        EXPECT_LE(reports[i - 1].current, reports[i].current);
    }
    EXPECT_TRUE(sameBytes(*source, *destination, 256 * MiB));
    expectFiles(*destination);
    EXPECT_FALSE(engine.isCloneInterruptDeviceWithStrDevice(destination->node()));
    EXPECT_TRUE(fs::is_empty(options.stateFolder));
}

TEST_F(CloneLoopDeviceTest, PairCheckAnswersEveryCodeAndWritesNothing) {
    auto source = loop("source.img", 64);
    auto fits = loop("fits.img", 64);
    auto small = loop("small.img", 32);
    auto bigSectors = loop("big-sectors.img", 96, {"--sector-size", "4096"});
    auto readOnly = loop("read-only.img", 64, {"--read-only"});
    auto mounted = loop("mounted.img", 64);
    // Inode tables and journal are written in full now: left to the kernel's lazy initialisation,
    // they would be written in the background after the mount, during the checks.
    ASSERT_EQ(runProgram({"mkfs.ext4", "-q", "-F", "-E", "lazy_itable_init=0,lazy_journal_init=0", mounted->node()}), 0);
    fs::create_directories(folder / "destination-mnt");
    ASSERT_EQ(runProgram({"mount", mounted->node(), (folder / "destination-mnt").string()}), 0);
    std::uint64_t mountedWritten = mounted->bytesWritten();
    CloneEngine engine(options);
    auto check = [&](const std::string& destination, const std::string& sourceNode) {
        return engine.checkDiskWithStrDestinDevice(destination, sourceNode);
    };

    EXPECT_EQ(check(fits->node(), source->node()), 0);
    EXPECT_EQ(check("/dev/r" + fits->name(), "/dev/r" + source->name()), 0);
    EXPECT_EQ(check(fits->node(), "/dev/hm-clone-no-such-device"), 1);
    EXPECT_EQ(check(fits->node(), (folder / "source.img").string()), 1);  // a file, not a device
    EXPECT_EQ(check("/dev/hm-clone-no-such-device", source->node()), 2);
    EXPECT_EQ(check(source->node(), source->node()), 2);
    EXPECT_EQ(check(readOnly->node(), source->node()), 2);
    EXPECT_EQ(check(mounted->node(), source->node()), 2);
    // A mounted volume is named with its mount point, on either side.
    const std::string mountPoint = (folder / "destination-mnt").string();
    EXPECT_EQ(engine.checkPair(mounted->node(), source->node()).message,
              "the destination's volume " + mounted->name() + " is mounted on " + mountPoint + ": unmount it first");
    EXPECT_EQ(engine.checkPair(fits->node(), mounted->node()).message,
              "the source's volume " + mounted->name() + " is mounted read-write on " + mountPoint +
                  ": unmount it first");
    EXPECT_EQ(check(bigSectors->node(), source->node()), 3);
    EXPECT_EQ(check(small->node(), source->node()), 4);

    EXPECT_EQ(engine.clonDeviceWithStrDestinDevice(small->node(), source->node(), false, nullptr), 4);
    EXPECT_EQ(engine.clonDeviceWithStrDestinDevice(mounted->node(), source->node(), true, nullptr), 2);
    for (const auto* device : {fits.get(), small.get(), bigSectors.get(), readOnly.get()}) {
        EXPECT_EQ(device->bytesWritten(), 0u) << device->name();
    }
    EXPECT_EQ(mounted->bytesWritten(), mountedWritten);
}

TEST_F(CloneLoopDeviceTest, ADiskAndItsOwnPartitionsAreNeverAPair) {
    auto disk = loop("disk.img", 64);
    auto other = loop("other.img", 64);
    std::string table = "label: dos\n,24M\n,\n";
    {
        std::string script = (folder / "table").string();
        std::ofstream(script) << table;
        ASSERT_EQ(runProgram({"sh", "-c", "sfdisk -q \"$0\" < \"$1\"", disk->node(), script}), 0);
    }
    if (!fs::exists(disk->node() + "p1") && !disk->announcePartitions()) {
        GTEST_SKIP() << "the kernel shows no partitions of loop devices here";
    }
    CloneEngine engine(options);
    std::string first = disk->node() + "p1";
    std::string second = disk->node() + "p2";
    EXPECT_EQ(engine.checkDiskWithStrDestinDevice(first, disk->node()), 2);  // a partition of the source
    EXPECT_EQ(engine.checkDiskWithStrDestinDevice(disk->node(), first), 2);  // the disk holding the source
    EXPECT_EQ(engine.checkDiskWithStrDestinDevice(second, first), 0);        // two partitions side by side
    EXPECT_EQ(engine.checkDiskWithStrDestinDevice(other->node(), first), 0);
}

TEST_F(CloneLoopDeviceTest, StopLeavesAMapThatResumesAndCoverDiscards) {
    auto source = loop("source.img", 128);
    auto other = loop("other.img", 128);
    auto destination = loop("destination.img", 128);
    fillRandom(*source, 1);
    fillRandom(*other, 2);
    CloneEngine engine(options);

    auto stopped = clone(engine, destination->node(), source->node(), false, 48 * MiB);
    EXPECT_EQ(stopped.back().status, DMProgressStatus::suspended);
    EXPECT_FALSE(busyAtLastReport) << "a resume sent as soon as the stop is heard would be refused";
    EXPECT_TRUE(engine.isCloneInterruptDeviceWithStrDevice(destination->node()));
    EXPECT_TRUE(engine.isCloneInterruptDeviceWithStrDevice("/dev/r" + destination->name()));
    EXPECT_FALSE(engine.isCloneInterruptDeviceWithStrDevice(source->node()));
    EXPECT_EQ(engine.getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(destination->node()),
              source->name());
    EXPECT_EQ(engine.getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(source->node()), "");

    std::uint64_t before = destination->bytesWritten();
    auto resumed = clone(engine, destination->node(), source->node(), false);
    EXPECT_EQ(resumed.back().status, DMProgressStatus::finished);
    EXPECT_GE(resumed.front().current, 32 * MiB);  // starts where the saved map left off
    EXPECT_LE(destination->bytesWritten() - before, 128 * MiB - 32 * MiB);
    EXPECT_TRUE(sameBytes(*source, *destination, 128 * MiB));
    EXPECT_FALSE(engine.isCloneInterruptDeviceWithStrDevice(destination->node()));

    // A map left by another source is not resumed: the resume is refused with the reason,
    // and isCover starts over.
    clone(engine, destination->node(), other->node(), false, 48 * MiB);
    before = destination->bytesWritten();
    CodeResult refused = engine.startClone(destination->node(), source->node(), false, nullptr);
    EXPECT_EQ(refused.code, CloneEngine::startRefused);
    EXPECT_NE(refused.message.find("came from another source (" + other->name() + ")"), std::string::npos);
    EXPECT_EQ(destination->bytesWritten(), before);
    clone(engine, destination->node(), source->node(), true);
    EXPECT_EQ(destination->bytesWritten() - before, 128 * MiB);
    clone(engine, destination->node(), source->node(), false, 48 * MiB);
    before = destination->bytesWritten();
    clone(engine, destination->node(), source->node(), true);
    EXPECT_EQ(destination->bytesWritten() - before, 128 * MiB);
    EXPECT_TRUE(sameBytes(*source, *destination, 128 * MiB));
}

// A volume on the source mounted in another program's mount namespace, out of sight here, may
// be writing to it: the clone is refused with the reason, and the destination stays untouched.
TEST_F(CloneLoopDeviceTest, ASourceMountedOutOfSightIsRefused) {
    auto source = loop("source.img", 64);
    auto destination = loop("destination.img", 64);
    ASSERT_EQ(runProgram({"mkfs.ext4", "-q", "-F", source->node()}), 0);
    fs::create_directories(folder / "source-mnt");
    const std::string held = (folder / "held").string();
    ASSERT_EQ(::mkfifo(held.c_str(), 0600), 0);
    int release = ::open(held.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(release, 0);
    int said = -1;
    harbormind::test::ChildProcess other({"unshare", "--mount", "--propagation", "private", "sh", "-c",
                                          "mount \"$1\" \"$2\" && echo mounted && exec cat >/dev/null", "sh",
                                          source->node(), (folder / "source-mnt").string()},
                                         {}, &said, "", held);
    char line[16] = {};
    ASSERT_GT(::read(said, line, sizeof line - 1), 0);
    ASSERT_EQ(std::string(line), "mounted\n");
    CloneEngine engine(options);

    CodeResult refused = engine.checkPair(destination->node(), source->node());
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.message.find("is in use: a volume on it is mounted"), std::string::npos) << refused.message;
    EXPECT_EQ(engine.clonDeviceWithStrDestinDevice(destination->node(), source->node(), true, nullptr), 1);
    EXPECT_EQ(destination->bytesWritten(), 0u);

    ::close(release);
    ::close(said);
    EXPECT_EQ(other.waitExit(std::chrono::seconds(30)), 0);
    EXPECT_EQ(engine.checkPair(destination->node(), source->node()).code, 0);
}

// The request to stop and the request to start come on connections of their own and may
// arrive in either order: a stop that comes first stops the clone before it writes anything.
TEST_F(CloneLoopDeviceTest, AStopBeforeTheFirstByteLeavesTheDestinationAndItsRecordAsTheyWere) {
    auto source = loop("source.img", 64);
    auto destination = loop("destination.img", 64);
    fillRandom(*source, 3);
    CloneEngine engine(options);

    engine.stopCloneWithFlag(true);
    CodeResult early = engine.startClone(destination->node(), source->node(), false, nullptr);
    EXPECT_EQ(early.code, CloneEngine::startRefused);
    EXPECT_NE(early.message.find("stopped before it started"), std::string::npos);
    EXPECT_EQ(destination->bytesWritten(), 0u);
    EXPECT_FALSE(engine.isCloneInterruptDeviceWithStrDevice(destination->node()));

    // A stop arriving just after the start, before anything was read.
    std::vector<CloneProgress> reports;
    ASSERT_EQ(engine.startClone(destination->node(), source->node(), false,
                                [&](const CloneProgress& progress) {
                                    reports.push_back(progress);
                                    if (progress.status == DMProgressStatus::running) {
                                        engine.stopCloneWithFlag(true);
                                    }
                                    return CloneReply::proceed;
                                }).code,
              0);
    engine.waitUntilFinished();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().status, DMProgressStatus::suspended);
    EXPECT_EQ(destination->bytesWritten(), 0u);
    EXPECT_FALSE(engine.isCloneInterruptDeviceWithStrDevice(destination->node()));

    // Over an interrupted clone, starting over and stopping at once keeps the old record.
    clone(engine, destination->node(), source->node(), false, 24 * MiB);
    ASSERT_TRUE(engine.isCloneInterruptDeviceWithStrDevice(destination->node()));
    std::uint64_t before = destination->bytesWritten();
    ASSERT_EQ(engine.startClone(destination->node(), source->node(), true,
                                [&](const CloneProgress& progress) {
                                    if (progress.status == DMProgressStatus::running) {
                                        engine.stopCloneWithFlag(true);
                                    }
                                    return CloneReply::proceed;
                                }).code,
              0);
    engine.waitUntilFinished();
    EXPECT_EQ(destination->bytesWritten(), before);
    auto resumed = clone(engine, destination->node(), source->node(), false);
    EXPECT_GE(resumed.front().current, 16 * MiB);
    EXPECT_TRUE(sameBytes(*source, *destination, 64 * MiB));
}

TEST_F(CloneLoopDeviceTest, OneCloneAtATime) {
    auto source = loop("source.img", 16);
    auto destination = loop("destination.img", 16);
    auto other = loop("other.img", 16);
    CloneEngine engine(options);
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    ASSERT_EQ(engine.startClone(destination->node(), source->node(), false,
                                [&](const CloneProgress&) {
                                    std::unique_lock lock(mutex);
                                    released.wait(lock, [&] { return release; });
                                    return CloneReply::proceed;
                                }).code,
              0);
    CodeResult busy = engine.startClone(other->node(), source->node(), false, nullptr);
    EXPECT_EQ(busy.code, CloneEngine::startRefused);
    EXPECT_NE(busy.message.find("another clone is running"), std::string::npos);
    EXPECT_TRUE(engine.isCloneRunningOnto("/dev/r" + destination->name()));
    EXPECT_FALSE(engine.isCloneRunningOnto(other->node()));
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    released.notify_all();
    engine.waitUntilFinished();
    EXPECT_EQ(other->bytesWritten(), 0u);
    EXPECT_FALSE(engine.isCloneRunningOnto(destination->node()));
}

TEST_F(CloneLoopDeviceTest, AStopLongBeforeTheStartDoesNotStopIt) {
    auto source = loop("source.img", 16);
    auto destination = loop("destination.img", 16);
    auto clock = std::make_shared<VirtualClock>();
    Clock::setCurrent(clock);
    {
        CloneEngine engine(options);
        engine.stopCloneWithFlag(true);
        clock->sleepFor(options.earlyStopWindow + seconds(1));
        auto reports = clone(engine, destination->node(), source->node(), false);
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports.back().status, DMProgressStatus::finished);
    }
    Clock::setCurrent(nullptr);
}

TEST_F(CloneLoopDeviceTest, ADamagedOrForeignRecordIsNeverResumed) {
    auto source = loop("source.img", 64);
    auto destination = loop("destination.img", 64);
    fillRandom(*source, 4);
    CloneEngine engine(options);
    auto interrupt = [&] {
        clone(engine, destination->node(), source->node(), true, 24 * MiB);
        ASSERT_TRUE(engine.isCloneInterruptDeviceWithStrDevice(destination->node()));
    };

    // One digit of a range changed: the destination still counts as interrupted, but the
    // record is not trusted; a resume starts over and says so.
    interrupt();
    fs::path file = fs::directory_iterator(options.stateFolder)->path();  // the one map
    std::string text = harbormind::test::readWholeFile(file.string());
    std::size_t done = text.find("\ndone 0 ");
    ASSERT_NE(done, std::string::npos);
    text[done + 8] = text[done + 8] == '1' ? '2' : '1';
    std::ofstream(file, std::ios::trunc) << text;
    EXPECT_TRUE(engine.isCloneInterruptDeviceWithStrDevice(destination->node()));
    EXPECT_EQ(engine.getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(destination->node()), "");
    std::uint64_t before = destination->bytesWritten();
    std::vector<CloneProgress> reports;
    CodeResult answer = engine.startClone(destination->node(), source->node(), false, [&](const CloneProgress& p) {
        reports.push_back(p);
        return CloneReply::proceed;
    });
    EXPECT_EQ(answer.code, 0);
    EXPECT_NE(answer.message.find("damaged"), std::string::npos);
    engine.waitUntilFinished();
    EXPECT_EQ(reports.back().status, DMProgressStatus::finished);
    EXPECT_EQ(destination->bytesWritten() - before, 64 * MiB);
    EXPECT_TRUE(sameBytes(*source, *destination, 64 * MiB));

    // The source's contents changed since the clone was interrupted (another stick of the
    // same name and size, say): the resume is refused, a new start copies it all.
    interrupt();
    {
        std::ofstream out(source->node(), std::ios::binary | std::ios::in);
        out.seekp(4096);  // in the first MiB, which the fingerprint covers
        out << "another disk";
    }
    before = destination->bytesWritten();
    answer = engine.startClone(destination->node(), source->node(), false, nullptr);
    EXPECT_EQ(answer.code, CloneEngine::startRefused);
    EXPECT_NE(answer.message.find("no longer holds what the interrupted clone was copying"), std::string::npos);
    EXPECT_EQ(destination->bytesWritten(), before);
    clone(engine, destination->node(), source->node(), true);
    EXPECT_TRUE(sameBytes(*source, *destination, 64 * MiB));
}

// Loop devices over one file at different offsets have different device numbers but write
// into each other.
TEST_F(CloneLoopDeviceTest, LoopDevicesOverlappingInOneFileAreNeverAPair) {
    auto whole = loop("shared.img", 128);
    auto source = std::make_unique<CloneLoopDevice>(folder, "shared.img", 0,
                                                    std::vector<std::string>{"--offset", "1048576", "--sizelimit",
                                                                             "33554432"});
    auto overlapping = std::make_unique<CloneLoopDevice>(folder, "shared.img", 0,
                                                         std::vector<std::string>{"--sizelimit", "67108864"});
    auto apart = std::make_unique<CloneLoopDevice>(folder, "shared.img", 0,
                                                   std::vector<std::string>{"--offset", "67108864"});
    ASSERT_TRUE(source->attached() && overlapping->attached() && apart->attached());
    CloneEngine engine(options);

    CodeResult refused = engine.checkPair(overlapping->node(), source->node());
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.message.find("stored in the same place"), std::string::npos) << refused.message;
    EXPECT_EQ(engine.checkPair(whole->node(), source->node()).code, 2);  // the whole file holds it
    EXPECT_EQ(engine.checkPair(source->node(), overlapping->node()).code, 2);
    EXPECT_EQ(engine.checkPair(apart->node(), source->node()).code, 0);
    EXPECT_EQ(engine.clonDeviceWithStrDestinDevice(overlapping->node(), source->node(), true, nullptr), 2);
    EXPECT_EQ(overlapping->bytesWritten(), 0u);
}

}  // namespace
}  // namespace harbormind::clone::test
