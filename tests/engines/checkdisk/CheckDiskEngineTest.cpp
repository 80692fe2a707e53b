#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "CheckDiskImage.h"
#include "FakeChecker.h"
#include "StreamRecorder.h"
#include "engines/checkdisk/CheckDiskEngine.h"
#include "engines/checkdisk/CheckDiskTexts.h"

namespace harbormind {
namespace {

using test::CheckDiskImage;
using test::StreamRecorder;

// The engine on a real file-system image file, with the checker replaced by a script.
class CheckDiskEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!CheckDiskImage::hasTool("mkfs.vfat")) {
            GTEST_SKIP() << "mkfs.vfat is not installed";
        }
        image_ = std::make_unique<CheckDiskImage>(8);
        ASSERT_TRUE(CheckDiskImage::run("mkfs.vfat " + CheckDiskImage::quoted(image_->image())));
    }

    CheckDiskEngine engineWith(const std::string& script, CheckerFamily family = CheckerFamily::vfat) {
        CheckerPrograms programs;
        programs.setProgram(family, test::writeFakeChecker(image_->folder(), script));
        return CheckDiskEngine(programs);
    }

    std::string fifo(const std::string& name) {
        std::string path = image_->folder() + "/" + name;
        ::mkfifo(path.c_str(), 0600);
        return path;
    }

    std::unique_ptr<CheckDiskImage> image_;
    StreamRecorder recorder_;
};

TEST_F(CheckDiskEngineTest, LinesArriveWhileTheCheckerIsStillRunningInTheOrderWritten) {
    std::string gate = fifo("gate");
    CheckDiskEngine engine = engineWith("echo 'first line'\necho 'to stderr' >&2\necho third\nread x < '" +
                                        gate + "'\necho 'after the gate'\nexit 0");
    std::thread check([&] { engine.run({image_->image(), CheckDiskMode::check}, recorder_.sink()); });

    ASSERT_TRUE(recorder_.waitForEntries(4));
    auto early = recorder_.entries();
    EXPECT_EQ(early[0].first, DMCheckStatus::checkStart);
    EXPECT_EQ(early[0].second, "Checking " + image_->image() + " (vfat)");
    EXPECT_EQ(recorder_.lines(), (std::vector<std::string>{"first line\n", "to stderr\n", "third\n"}));

    std::ofstream(gate) << "go\n";
    check.join();
    auto all = recorder_.entries();
    EXPECT_EQ(recorder_.lines().back(), std::string(CheckDiskTexts::noErrorsFound) + "\n");
    EXPECT_EQ(all.back(), StreamRecorder::Entry(DMCheckStatus::checkEnd, CheckDiskTexts::noErrorsFound));
    EXPECT_EQ(recorder_.lines()[3], "after the gate\n");
}

TEST_F(CheckDiskEngineTest, ArgumentsAreAFixedVectorWhateverTheDevicePathHolds) {
    std::string odd = image_->folder() + "/vol $(touch pwned) 'x'.img";
    std::filesystem::rename(image_->image(), odd);
    CheckDiskEngine engine = engineWith("for a in \"$@\"; do echo \"[$a]\"; done");

    engine.run({odd, CheckDiskMode::check}, recorder_.sink());
    EXPECT_EQ(recorder_.lines()[0], "[-n]\n");
    EXPECT_EQ(recorder_.lines()[1], "[" + odd + "]\n");
    EXPECT_FALSE(std::filesystem::exists(image_->folder() + "/pwned"));
    std::filesystem::rename(odd, image_->image());
}

// The read end of a FIFO the checker script writes into when it has written everything. It
// stays open for the whole run, so the checker's write never blocks, however late it comes.
class CheckerSignal {
public:
    explicit CheckerSignal(const std::string& path)
        : fd_(::mkfifo(path.c_str(), 0600) == 0 ? ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1) {}
    ~CheckerSignal() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool opened() const { return fd_ >= 0; }
    bool arrivesWithin(std::chrono::milliseconds limit) const {
        pollfd wanted{fd_, POLLIN, 0};
        return ::poll(&wanted, 1, static_cast<int>(limit.count())) == 1 && (wanted.revents & POLLIN) != 0;
    }

private:
    int fd_;
};

TEST_F(CheckDiskEngineTest, HundredThousandLinesNeverStallTheCheckerBehindASlowReceiver) {
    std::string finished = image_->folder() + "/finished";
    CheckerSignal checkerDone(finished);
    ASSERT_TRUE(checkerDone.opened());
    CheckDiskEngine engine = engineWith("seq 1 100000\necho done > '" + finished + "'");
    bool checkerFinishedFirst = false;
    std::size_t count = 0;
    engine.run({image_->image(), CheckDiskMode::check}, [&](DMCheckStatus status, const std::string& line) {
        if (status != DMCheckStatus::checkRuning) {
            return;
        }
        if (++count == 1) {
            // Hold the first line until the checker has written all of its output: only a
            // receiver decoupled from the pipe lets it get there. A checker stalled behind
            // this receiver never reaches the FIFO, and the wait ends without it.
            checkerFinishedFirst = checkerDone.arrivesWithin(std::chrono::seconds(20));
            EXPECT_EQ(line, "1\n");
        }
        if (count == 100000) {
            EXPECT_EQ(line, "100000\n");
        }
    });
    EXPECT_TRUE(checkerFinishedFirst);
    EXPECT_EQ(count, 100001u);  // and the verdict
}

TEST_F(CheckDiskEngineTest, ExitStatusBecomesTheLastLineInWords) {
    CheckDiskEngine found = engineWith("echo 'Dirty bit is set.'\nexit 1");
    EXPECT_EQ(found.run({image_->image(), CheckDiskMode::check}, recorder_.sink()),
              CheckDiskVerdict::errorsRemain);
    EXPECT_EQ(recorder_.entries().back(),
              StreamRecorder::Entry(DMCheckStatus::checkEnd, CheckDiskTexts::errorsRemain));

    StreamRecorder broken;
    CheckDiskEngine usage = engineWith("exit 2");
    EXPECT_EQ(usage.run({image_->image(), CheckDiskMode::check}, broken.sink()),
              CheckDiskVerdict::notCompleted);
    EXPECT_EQ(broken.lines().back(), std::string(CheckDiskTexts::notCompleted) + "\n");
}

TEST_F(CheckDiskEngineTest, RepairThatChangedSomethingIsCheckedAgainBeforeItCountsAsMended) {
    std::string calls = image_->folder() + "/calls";
    CheckDiskEngine engine =
        engineWith("printf '%s\\n' \"$1\" >> '" + calls + "'\n[ \"$1\" = -a ] && exit 1\nexit 0");
    EXPECT_EQ(engine.run({image_->image(), CheckDiskMode::repair}, recorder_.sink()),
              CheckDiskVerdict::repaired);
    EXPECT_EQ(CheckDiskImage::capture("cat '" + calls + "'"), "-a\n-n\n");
    EXPECT_NE(recorder_.text().find(CheckDiskTexts::checkingAgain), std::string::npos);
    EXPECT_EQ(recorder_.entries().back().second, CheckDiskTexts::errorsRepaired);
}

TEST_F(CheckDiskEngineTest, StopKillsTheCheckerAndEndsWithCheckStop) {
    std::string gate = fifo("never-opened");
    CheckDiskEngine engine = engineWith("echo waiting\nread x < '" + gate + "'");
    CheckDiskVerdict verdict = CheckDiskVerdict::clean;
    std::thread check([&] {
        verdict = engine.run({image_->image(), CheckDiskMode::check}, recorder_.sink());
    });
    ASSERT_TRUE(recorder_.waitForEntries(2));
    engine.stop();
    check.join();
    EXPECT_EQ(verdict, CheckDiskVerdict::stopped);
    EXPECT_EQ(recorder_.entries().back(),
              StreamRecorder::Entry(DMCheckStatus::checkStop, CheckDiskTexts::stopped));
}

TEST_F(CheckDiskEngineTest, DeviceThatDisappearsDuringTheCheckEndsWithCheckStop) {
    CheckDiskEngine engine = engineWith("echo reading\nrm -f \"$2\"\necho 'read error'\nexit 8");
    EXPECT_EQ(engine.run({image_->image(), CheckDiskMode::check}, recorder_.sink()),
              CheckDiskVerdict::stopped);
    auto last = recorder_.entries().back();
    EXPECT_EQ(last.first, DMCheckStatus::checkStop);
    EXPECT_EQ(last.second, image_->image() + " disappeared while it was being checked.");
    EXPECT_EQ(recorder_.lines(), (std::vector<std::string>{"reading\n", "read error\n"}));
}

TEST_F(CheckDiskEngineTest, NothingToCheckStopsWithTheReason) {
    CheckerPrograms missing;
    missing.setProgram(CheckerFamily::vfat, image_->folder() + "/no-such-checker");
    CheckDiskEngine engine(missing);
    EXPECT_EQ(engine.run({image_->image(), CheckDiskMode::check}, recorder_.sink()),
              CheckDiskVerdict::notCompleted);
    EXPECT_NE(recorder_.text().find("no-such-checker could not be started."), std::string::npos);

    StreamRecorder blank;
    std::string empty = image_->folder() + "/blank.img";
    std::ofstream(empty) << std::string(65536, '\0');
    EXPECT_EQ(engine.run({empty, CheckDiskMode::repair}, blank.sink()), CheckDiskVerdict::stopped);
    EXPECT_EQ(blank.entries().back(),
              StreamRecorder::Entry(DMCheckStatus::checkStop, "No file system was found on " + empty + "."));

    StreamRecorder gone;
    EXPECT_EQ(engine.run({empty + ".missing", CheckDiskMode::check}, gone.sink()), CheckDiskVerdict::stopped);
    EXPECT_EQ(gone.entries().front().first, DMCheckStatus::checkStart);
    EXPECT_EQ(gone.entries().back().first, DMCheckStatus::checkStop);
}

TEST_F(CheckDiskEngineTest, Ext4RepairFallsBackToAnsweringOnlyWhenTheAutomaticRunAsksForIt) {
    if (!CheckDiskImage::hasTool("mkfs.ext4")) {
        GTEST_SKIP() << "mkfs.ext4 is not installed";
    }
    ASSERT_TRUE(CheckDiskImage::run("mkfs.ext4 -q -F " + CheckDiskImage::quoted(image_->image())));
    std::string calls = image_->folder() + "/calls";
    CheckDiskEngine engine =
        engineWith("echo \"$*\" >> '" + calls + "'\ncase \"$2\" in -p) exit 4;; -y) exit 1;; esac\nexit 0",
                   CheckerFamily::ext);
    EXPECT_EQ(engine.run({image_->image(), CheckDiskMode::repair}, recorder_.sink()),
              CheckDiskVerdict::repaired);
    std::string path = image_->image();
    EXPECT_EQ(CheckDiskImage::capture("cat '" + calls + "'"),
              "-f -p " + path + "\n-f -y " + path + "\n-f -n " + path + "\n");
    EXPECT_NE(recorder_.text().find(CheckDiskTexts::answeringYes), std::string::npos);

    std::filesystem::remove(calls);
    StreamRecorder automatic;
    CheckDiskEngine quiet = engineWith("echo \"$*\" >> '" + calls + "'\nexit 0", CheckerFamily::ext);
    EXPECT_EQ(quiet.run({path, CheckDiskMode::repair}, automatic.sink()), CheckDiskVerdict::clean);
    EXPECT_EQ(CheckDiskImage::capture("cat '" + calls + "'"), "-f -p " + path + "\n");
}

}  // namespace
}  // namespace harbormind
