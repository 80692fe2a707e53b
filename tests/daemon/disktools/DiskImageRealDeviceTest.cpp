#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "daemon/DaemonBusFixture.h"
#include "daemon/linux/BlockDeviceCheck.h"
#include "daemon/linux/LinuxDaemonBackend.h"
#include "disktools/DMDiskToolsWrapper.h"
#include "testsupport/LoopDisk.h"
#include "testsupport/ProgramRun.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;
using P = DMDiskToolsServerProtocol;
using S = DMDiskImageStatus::State;
constexpr std::uint64_t MiB = 1 << 20;

std::string bytesOf(const std::string& path, std::uint64_t length) {
    std::ifstream in(path, std::ios::binary);
    std::string data(length, '\0');
    in.read(data.data(), static_cast<std::streamsize>(length));
    data.resize(static_cast<std::size_t>(in.gcount()));
    return data;
}

// A file descriptor the test opened, as the user's program would.
struct Opened {
    int fd;
    explicit Opened(int descriptor) : fd(descriptor) {}
    ~Opened() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

// Disk images made from and written onto loop devices of the test's own by the real daemon's
// disk tools on a private bus, through the application's wrapper.
class DiskImageRealDeviceTest : public test::DaemonBusFixture {
protected:
    void SetUp() override {
        if (auto why = test::LoopDisk::unavailableReason(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        for (const char* tool : {"zstd", "xz"}) {
            if (test::runProgram({"sh", "-c", std::string("command -v ") + tool}).status != 0) {
                GTEST_SKIP() << tool << " is not installed";
            }
        }
        DaemonBusFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        state = fs::temp_directory_path() / ("hm-images-" + std::to_string(::getpid()));
        fs::create_directories(state);
        backend = std::make_shared<LinuxDaemonBackend>("/media", (state / "luks").string(), 50, std::string(),
                                                       (state / "run").string());
        serve(backend, std::make_shared<BlockDeviceCheck>());
    }
    void TearDown() override {
        DaemonBusFixture::TearDown();
        std::error_code error;
        fs::remove_all(state, error);
    }

    // A disk with ext4 on its whole and a file of random bytes on it: the rest reads as zeros.
    std::unique_ptr<test::LoopDisk> diskWithData(int megabytes) {
        auto disk = std::make_unique<test::LoopDisk>(megabytes);
        EXPECT_TRUE(disk->attach());
        EXPECT_EQ(test::runProgram({"mkfs.ext4", "-q", "-F", "-L", "Photos", disk->node()}).status, 0);
        fs::path point = state / ("mnt-" + disk->name());
        fs::create_directories(point);
        EXPECT_EQ(test::runProgram({"mount", disk->node(), point.string()}).status, 0);
        std::mt19937 random(7);
        std::string data(8 * MiB, '\0');
        for (auto& byte : data) {
            byte = static_cast<char>(random());
        }
        std::ofstream(point / "photo.raw", std::ios::binary) << data;
        EXPECT_EQ(test::runProgram({"umount", point.string()}).status, 0);
        return disk;
    }
    std::unique_ptr<test::LoopDisk> blankDisk(int megabytes) {
        auto disk = std::make_unique<test::LoopDisk>(megabytes);
        EXPECT_TRUE(disk->attach());
        return disk;
    }

    DMDiskImageStatus finished() {
        backend->imageJobs().waitUntilFinished(::getuid());
        return tools.imageStatus();
    }
    DMDiskImageStatus create(const test::LoopDisk& disk, const fs::path& file, bool compress) {
        Opened image(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        XPCCodeAnswer started = tools.createImage(disk.name(), image.fd, compress);
        EXPECT_EQ(started.code, 0) << started.message;
        return started.code == 0 ? finished() : DMDiskImageStatus::unknown(started.message);
    }
    DMDiskImageStatus restore(const fs::path& file, const test::LoopDisk& disk) {
        Opened image(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
        XPCCodeAnswer started = tools.restoreImage(disk.name(), image.fd);
        EXPECT_EQ(started.code, 0) << started.message;
        return started.code == 0 ? finished() : DMDiskImageStatus::unknown(started.message);
    }
    XPCCodeAnswer checkRestore(const fs::path& file, const test::LoopDisk& disk) {
        Opened image(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
        return tools.checkImageRestore(disk.name(), image.fd);
    }

    fs::path state;
    std::shared_ptr<LinuxDaemonBackend> backend;
    DMDiskToolsWrapper tools;
};

TEST_F(DiskImageRealDeviceTest, ARawImageIsSparseWhereTheDiskReadsZerosAndRestoresByteForByte) {
    auto source = diskWithData(64);
    const fs::path file = state / "photos.img";
    DMDiskImageStatus made = create(*source, file, false);
    ASSERT_EQ(made.state, S::finished) << made.reason;
    EXPECT_EQ(made.totalBytes, 64 * MiB);
    EXPECT_EQ(made.unreadableBytes, 0u);
    EXPECT_EQ(fs::file_size(file), 64 * MiB);
    // The 8 MiB of data and ext4's metadata take space; the zeros do not.
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_LT(static_cast<std::uint64_t>(info.st_blocks) * 512, 32 * MiB);
    EXPECT_EQ(made.imageBytes, static_cast<std::uint64_t>(info.st_blocks) * 512);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_TRUE(bytesOf(file, 64 * MiB) == bytesOf(source->node(), 64 * MiB));

    auto destination = blankDisk(80);
    DMDiskImageStatus restored = restore(file, *destination);
    ASSERT_EQ(restored.state, S::finished) << restored.reason;
    EXPECT_EQ(restored.doneBytes, 64 * MiB);
    EXPECT_TRUE(bytesOf(destination->node(), 64 * MiB) == bytesOf(source->node(), 64 * MiB));
}

TEST_F(DiskImageRealDeviceTest, ZstdImagesRecordTheirSizeAndXzImagesOfTheUsualToolRestoreToo) {
    auto source = diskWithData(64);
    const fs::path file = state / "photos.img.zst";
    DMDiskImageStatus made = create(*source, file, true);
    ASSERT_EQ(made.state, S::finished) << made.reason;
    EXPECT_LT(fs::file_size(file), 16 * MiB);
    // The usual tool reads it back to the disk's bytes.
    const fs::path unpacked = state / "unpacked.img";
    ASSERT_EQ(test::runProgram({"zstd", "-q", "-d", file.string(), "-o", unpacked.string()}).status, 0);
    EXPECT_TRUE(bytesOf(unpacked, 64 * MiB) == bytesOf(source->node(), 64 * MiB));

    auto fromZstd = blankDisk(64);
    ASSERT_EQ(checkRestore(file, *fromZstd).message, R"({"imageBytes":67108864,"deviceBytes":67108864})");
    DMDiskImageStatus restored = restore(file, *fromZstd);
    ASSERT_EQ(restored.state, S::finished) << restored.reason;
    EXPECT_TRUE(bytesOf(fromZstd->node(), 64 * MiB) == bytesOf(source->node(), 64 * MiB));

    ASSERT_EQ(test::runProgram({"xz", "-1", "-k", unpacked.string()}).status, 0);
    auto fromXz = blankDisk(72);
    restored = restore(unpacked.string() + ".xz", *fromXz);
    ASSERT_EQ(restored.state, S::finished) << restored.reason;
    EXPECT_TRUE(bytesOf(fromXz->node(), 64 * MiB) == bytesOf(source->node(), 64 * MiB));
}

TEST_F(DiskImageRealDeviceTest, ARestoreIsRefusedWithItsReasonAndWritesNothing) {
    auto source = diskWithData(64);
    const fs::path file = state / "photos.img";
    ASSERT_EQ(create(*source, file, false).state, S::finished);

    auto smaller = blankDisk(48);
    XPCCodeAnswer tooSmall = checkRestore(file, *smaller);
    EXPECT_EQ(tooSmall.code, P::invalid);
    EXPECT_NE(tooSmall.message.find("is smaller than the disk in the image"), std::string::npos) << tooSmall.message;
    Opened image(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_EQ(tools.restoreImage(smaller->name(), image.fd).code, P::invalid);

    // The source, mounted: in use, for reading into an image as for writing over.
    fs::path point = state / "mounted";
    fs::create_directories(point);
    ASSERT_EQ(test::runProgram({"mount", source->node(), point.string()}).status, 0);
    XPCCodeAnswer busy = tools.restoreImage(source->name(), image.fd);
    EXPECT_EQ(busy.code, P::busy);
    EXPECT_NE(busy.message.find(point.string()), std::string::npos) << busy.message;
    Opened other(::open((state / "other.img").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    EXPECT_EQ(tools.createImage(source->name(), other.fd, false).code, P::busy);
    EXPECT_EQ(test::runProgram({"umount", point.string()}).status, 0);

    // A file opened only for reading takes no image; a truncated compressed image ends the
    // restore with its reason.
    EXPECT_EQ(tools.createImage(source->name(), image.fd, false).code, P::invalid);
    const fs::path packed = state / "packed.img.zst";
    ASSERT_EQ(create(*source, packed, true).state, S::finished);
    fs::resize_file(packed, fs::file_size(packed) / 2);
    auto destination = blankDisk(64);
    DMDiskImageStatus broken = restore(packed, *destination);
    EXPECT_EQ(broken.state, S::failed);
    EXPECT_NE(broken.reason.find("ends before the disk it holds"), std::string::npos) << broken.reason;
}

}  // namespace
}  // namespace harbormind
