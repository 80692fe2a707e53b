#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <set>

#include "engines/clone/CloneCopier.h"

namespace harbormind::clone {
namespace {

constexpr std::uint32_t sector = 512;

// A source in memory that fails reads touching its bad sectors, and vanishes after a given
// number of bytes read.
class FaultySource : public CloneSource {
public:
    explicit FaultySource(std::size_t bytes) : data_(bytes) {
        for (std::size_t i = 0; i < bytes; ++i) {
            data_[i] = static_cast<std::byte>((i * 131 + i / 4096) & 0xff);
        }
    }
    CloneIoResult readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) override {
        std::lock_guard lock(mutex_);
        reads.push_back({offset, offset + length});
        if (bytesRead_ >= goneAfter) {
            return {CloneIoStatus::gone, 6};
        }
        for (std::uint64_t s = offset / sector; s * sector < offset + length; ++s) {
            if (bad.count(s)) {
                return {CloneIoStatus::failed, 5};
            }
        }
        std::memcpy(buffer, data_.data() + offset, length);
        bytesRead_ += length;
        return {};
    }
    std::uint64_t size() const override { return data_.size(); }
    std::uint32_t sectorSize() const override { return sector; }

    const std::vector<std::byte>& data() const { return data_; }
    std::set<std::uint64_t> bad;
    std::uint64_t goneAfter = UINT64_MAX;
    std::vector<ByteRange> reads;

private:
    std::mutex mutex_;
    std::vector<std::byte> data_;
    std::uint64_t bytesRead_ = 0;
};

// A destination in memory that knows which bytes a flush has made durable. The copy writes
// while the checkpoints flush on a thread of their own, as with a real device.
class MemoryDestination : public CloneDestination {
public:
    explicit MemoryDestination(std::size_t bytes) : data(bytes, std::byte{0xee}) {}
    CloneIoResult writeAt(std::uint64_t offset, const std::byte* buffer, std::size_t length) override {
        std::lock_guard lock(mutex);
        if (offset + length > goneAt) {
            return {CloneIoStatus::gone, 6};
        }
        std::memcpy(data.data() + offset, buffer, length);
        written.add({offset, offset + length});
        bytesWritten += length;
        return {};
    }
    CloneIoResult flush() override {
        std::lock_guard lock(mutex);
        durable.add(written);
        return {};
    }

    mutable std::mutex mutex;
    std::vector<std::byte> data;
    ByteRangeSet written;
    ByteRangeSet durable;
    std::uint64_t bytesWritten = 0;
    std::uint64_t goneAt = UINT64_MAX;
};

// Time that moves on by a fixed step each time it is read.
class SteppingClock : public Clock {
public:
    explicit SteppingClock(Duration step) : step_(step) {}
    TimePoint now() const override { return TimePoint(step_ * ++reads_); }
    void sleepFor(Duration) override {}
    bool waitUntil(const std::function<bool()>& ready, std::optional<TimePoint>) override { return ready(); }
    void notifyAll() override {}
    TimerId schedule(Duration, std::function<void()>) override { return 0; }
    void cancel(TimerId) override {}

private:
    Duration step_;
    mutable std::atomic<std::int64_t> reads_{0};
};

class CloneCopierTest : public testing::Test {
protected:
    CloneCopierTest() {
        options.chunkBytes = 64 * 1024;
        options.bufferCount = 3;
        options.checkpointBytes = 256 * 1024;
        options.checkpointInterval = seconds(1000);
        options.retryBytes = 8 * 1024;
        map.sourceSize = source.size();
    }

    CloneOutcome run(CloneProgressSink progress = nullptr) {
        CloneCopier copier(
            source, destination, map, options, stop,
            [this](const CloneMap& saved) {
                EXPECT_TRUE(destinationHolds(saved.done)) << "a map claims data not yet flushed";
                saves.push_back(saved);
            },
            std::move(progress), clock);
        return copier.run();
    }
    bool destinationHolds(const ByteRangeSet& done) const {
        std::lock_guard lock(destination.mutex);
        for (const ByteRange& r : done.ranges()) {
            if (!destination.durable.contains(r)) {
                return false;
            }
        }
        return true;
    }
    bool copied(std::uint64_t begin, std::uint64_t end) const {
        return std::equal(source.data().begin() + static_cast<std::ptrdiff_t>(begin),
                          source.data().begin() + static_cast<std::ptrdiff_t>(end),
                          destination.data.begin() + static_cast<std::ptrdiff_t>(begin));
    }

    FaultySource source{1024 * 1024 + 3 * sector};  // not a multiple of the chunk size
    MemoryDestination destination{2 * 1024 * 1024};
    CloneMap map;
    CloneOptions options;
    std::atomic<bool> stop{false};
    std::vector<CloneMap> saves;
    SteppingClock clock{std::chrono::milliseconds(30)};
};

TEST_F(CloneCopierTest, CopiesEverythingAndCheckpointsOnlyFlushedData) {
    CloneOutcome outcome = run();

    EXPECT_EQ(outcome.end, CloneEnd::finished);
    EXPECT_EQ(outcome.bytesWritten, source.size());
    EXPECT_TRUE(copied(0, source.size()));
    EXPECT_EQ(destination.data[source.size()], std::byte{0xee});  // nothing past the source's end
    EXPECT_GE(saves.size(), 4u);
    EXPECT_EQ(saves.back().done.ranges(), (std::vector<ByteRange>{{0, source.size()}}));
}

TEST_F(CloneCopierTest, UnreadableSectorsAreSkippedRetriedAndZeroFilled) {
    // One lone sector, and a run crossing the boundary between two chunks.
    source.bad = {5, 127, 128, 129, 1500};
    CloneOutcome outcome = run();

    EXPECT_EQ(outcome.end, CloneEnd::finished);
    EXPECT_EQ(outcome.unreadableBytes, 5u * sector);
    EXPECT_EQ(map.unreadable.totalBytes(), 5u * sector);
    for (std::uint64_t s : source.bad) {
        EXPECT_TRUE(map.unreadable.contains({s * sector, (s + 1) * sector}));
        EXPECT_TRUE(std::all_of(destination.data.begin() + static_cast<std::ptrdiff_t>(s * sector),
                                destination.data.begin() + static_cast<std::ptrdiff_t>((s + 1) * sector),
                                [](std::byte b) { return b == std::byte{0}; }));
    }
    EXPECT_TRUE(copied(0, 5 * sector));
    EXPECT_TRUE(copied(6 * sector, 127 * sector));
    EXPECT_TRUE(copied(130 * sector, 1500 * sector));
    EXPECT_TRUE(copied(1501 * sector, source.size()));
    // The first pass went on past the bad area before any smaller block was tried.
    auto firstSmall = std::find_if(source.reads.begin(), source.reads.end(), [&](const ByteRange& r) {
        return r.length() <= options.retryBytes && r.end != source.size();
    });
    auto lastChunk = std::find_if(source.reads.begin(), source.reads.end(),
                                  [&](const ByteRange& r) { return r.end == source.size(); });
    EXPECT_LT(lastChunk, firstSmall);
}

TEST_F(CloneCopierTest, AVanishingDeviceEndsTheCopyWithItsOwnReason) {
    source.goneAfter = 300 * 1024;
    CloneOutcome outcome = run();
    EXPECT_EQ(outcome.end, CloneEnd::sourceGone);
    EXPECT_TRUE(destinationHolds(map.done));
    EXPECT_LE(map.done.totalBytes(), 5u * 64 * 1024);  // the chunks read before it went

    source.goneAfter = UINT64_MAX;
    destination.goneAt = 500 * 1024;
    outcome = run();
    EXPECT_EQ(outcome.end, CloneEnd::destinationGone);
    EXPECT_TRUE(destinationHolds(map.done));
}

TEST_F(CloneCopierTest, CancelledCopyResumesWhereItsMapEnds) {
    std::vector<CloneProgress> reports;
    CloneOutcome first = run([&](const CloneProgress& progress) {
        reports.push_back(progress);
        return progress.current >= 400 * 1024 ? CloneReply::cancel : CloneReply::proceed;
    });
    EXPECT_EQ(first.end, CloneEnd::stopped);
    EXPECT_GE(map.done.totalBytes(), 400u * 1024);
    EXPECT_LT(map.done.totalBytes(), source.size());
    std::uint64_t writtenBefore = destination.bytesWritten;
    std::uint64_t doneBefore = map.done.totalBytes();

    reports.clear();
    CloneOutcome second = run([&](const CloneProgress& progress) {
        reports.push_back(progress);
        return CloneReply::proceed;
    });
    EXPECT_EQ(second.end, CloneEnd::finished);
    EXPECT_EQ(reports.front().current, doneBefore);
    EXPECT_EQ(writtenBefore + second.bytesWritten, source.size());  // nothing written twice
    EXPECT_TRUE(copied(0, source.size()));
}

TEST_F(CloneCopierTest, ProgressComesAtMostOncePerIntervalInBytes) {
    options.chunkBytes = 16 * 1024;
    std::vector<std::pair<Clock::TimePoint, CloneProgress>> reports;
    run([&](const CloneProgress& progress) {
        reports.emplace_back(clock.now(), progress);
        return CloneReply::proceed;
    });
    ASSERT_GE(reports.size(), 3u);
    EXPECT_LT(reports.size(), source.size() / options.chunkBytes);  // fewer reports than chunks
    for (std::size_t i = 1; i < reports.size(); ++i) {
        EXPECT_GE(reports[i].first - reports[i - 1].first,
                  options.progressInterval - std::chrono::milliseconds(30));
        EXPECT_LE(reports[i].second.current, source.size());
        EXPECT_EQ(reports[i].second.total, source.size());
    }
}

}  // namespace
}  // namespace harbormind::clone
