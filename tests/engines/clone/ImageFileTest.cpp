#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engines/clone/ImageFileSource.h"
#include "engines/clone/ZeroFillingSource.h"
#include "engines/clone/ZstdImageFile.h"

namespace harbormind::clone {
namespace {

namespace fs = std::filesystem;

// A source whose listed sectors cannot be read, and one that is gone past an offset.
class DamagedSource final : public CloneSource {
public:
    std::set<std::uint64_t> badSectors;
    std::uint64_t goneFrom = UINT64_MAX;

    CloneIoResult readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) override {
        if (offset + length > goneFrom) {
            return {CloneIoStatus::gone, ENXIO};
        }
        for (std::uint64_t sector = offset / 512; sector < (offset + length) / 512; ++sector) {
            if (badSectors.contains(sector)) {
                return {CloneIoStatus::failed, EIO};
            }
        }
        std::memset(buffer, 0x5A, length);
        return {};
    }
    std::uint64_t size() const override { return 1 << 20; }
    std::uint32_t sectorSize() const override { return 512; }
};

TEST(ZeroFillingSourceTest, UnreadableSectorsReadAsZerosAndAreCountedButAGoneSourceStaysGone) {
    DamagedSource damaged;
    damaged.badSectors = {3, 5};
    ZeroFillingSource source(damaged);
    std::vector<std::byte> buffer(8 * 512);
    ASSERT_EQ(source.readAt(0, buffer.data(), buffer.size()).status, CloneIoStatus::ok);
    for (std::size_t sector = 0; sector < 8; ++sector) {
        const std::byte expected = sector == 3 || sector == 5 ? std::byte{0} : std::byte{0x5A};
        EXPECT_EQ(buffer[sector * 512], expected) << "sector " << sector;
        EXPECT_EQ(buffer[sector * 512 + 511], expected) << "sector " << sector;
    }
    EXPECT_EQ(source.unreadableBytes(), 1024u);

    damaged.goneFrom = 4096;
    EXPECT_EQ(source.readAt(0, buffer.data(), 8192 - 4096 + 512).status, CloneIoStatus::gone);
}

class ImageFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("hm-imagefile-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(folder, error);
    }
    int openFile(const std::string& name, int flags) {
        fds.push_back(::open((folder / name).c_str(), flags | O_CLOEXEC, 0600));
        return fds.back();
    }
    ~ImageFileTest() override {
        for (int fd : fds) {
            ::close(fd);
        }
    }

    fs::path folder;
    std::vector<int> fds;
};

TEST_F(ImageFileTest, AZstdImageTakesItsDataInOrderAndReadsBackAsTheDisk) {
    const std::size_t size = 3 << 20;
    std::vector<std::byte> disk(size);
    for (std::size_t i = 0; i < size; ++i) {
        disk[i] = static_cast<std::byte>(i < size / 3 ? (i * 7) & 0xFF : 0);
    }
    {
        ZstdImageFile image(openFile("disk.img.zst", O_WRONLY | O_CREAT | O_TRUNC), size);
        EXPECT_EQ(image.writeAt(1 << 20, disk.data() + (1 << 20), 1 << 20).status, CloneIoStatus::failed);
        for (std::size_t offset = 0; offset < size; offset += 1 << 20) {
            ASSERT_EQ(image.writeAt(offset, disk.data() + offset, 1 << 20).status, CloneIoStatus::ok);
        }
        ASSERT_EQ(image.finish().status, CloneIoStatus::ok);
    }
    std::string problem;
    auto source = ImageFileSource::open(openFile("disk.img.zst", O_RDONLY), problem);
    ASSERT_NE(source, nullptr) << problem;
    EXPECT_EQ(source->size(), size);
    std::vector<std::byte> back(size);
    ASSERT_EQ(source->readAt(0, back.data(), size / 2).status, CloneIoStatus::ok);
    // Only in order: going back is refused with the reason, never read wrong.
    EXPECT_EQ(source->readAt(0, back.data(), 512).status, CloneIoStatus::gone);
    EXPECT_EQ(source->problem(), "a compressed image is read in order only");
    // The stream's place is no longer trusted: even the next read in order stays refused.
    EXPECT_EQ(source->readAt(size / 2, back.data() + size / 2, 512).status, CloneIoStatus::gone);
    EXPECT_TRUE(std::equal(disk.begin(), disk.begin() + size / 2, back.begin()));
}

TEST_F(ImageFileTest, WhatIsNoImageIsRefusedWithTheReason) {
    std::string problem;
    EXPECT_EQ(ImageFileSource::open(openFile("empty.img", O_RDWR | O_CREAT), problem), nullptr);
    EXPECT_EQ(problem, "the image is empty");
    fds.push_back(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    EXPECT_EQ(ImageFileSource::open(fds.back(), problem), nullptr);
    EXPECT_EQ(problem, "the image must be a regular file");
    // zstd's magic number with no frame after it: no size recorded.
    int fd = openFile("bad.img.zst", O_RDWR | O_CREAT);
    const unsigned char magic[] = {0x28, 0xB5, 0x2F, 0xFD, 0x00, 0x00};
    ASSERT_EQ(::write(fd, magic, sizeof magic), static_cast<ssize_t>(sizeof magic));
    EXPECT_EQ(ImageFileSource::open(fd, problem), nullptr);
    EXPECT_EQ(problem, "the compressed image does not record the size of the disk it holds");
}

}  // namespace
}  // namespace harbormind::clone
