#include <gtest/gtest.h>

#include "runner/TaskHandler.h"
#include "runner/RunnerTestPlatform.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

class TaskHandlerTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        platform = std::make_shared<test::RunnerTestPlatform>(SimPlatform::empty());
        Platform::setCurrent(platform);
    }

    std::pair<std::string, std::optional<std::string>> run(const std::vector<std::string>& arguments = {"-c", "x"}) {
        std::pair<std::string, std::optional<std::string>> got{"unset", "unset"};
        TaskHandler::run("/bin/sh", arguments, [&](const std::string& out, const std::optional<std::string>& err) {
            got = {out, err};
        });
        return got;
    }

    std::shared_ptr<test::RunnerTestPlatform> platform;
};

using Pair = std::pair<std::string, std::optional<std::string>>;

TEST_F(TaskHandlerTest, HandsBackBothTextsAndNoErrorWhenItIsEmpty) {
    platform->launcher.answer("Volume STICK on disk4s1 mounted\n");
    EXPECT_EQ(run({"-c", "/usr/sbin/diskutil mount 'disk4s1'"}), Pair("Volume STICK on disk4s1 mounted\n", std::nullopt));
    EXPECT_EQ(platform->launcher.lines.back(), "/bin/sh -c /usr/sbin/diskutil mount 'disk4s1'");
    EXPECT_EQ(TaskHandler::lastLaunched(),
              (std::vector<std::string>{"/bin/sh", "-c", "/usr/sbin/diskutil mount 'disk4s1'"}));
}

TEST_F(TaskHandlerTest, ErrorOnlyAndNothingAtAll) {
    platform->launcher.answer("", "Unable to find disk\n");
    EXPECT_EQ(run(), Pair("", "Unable to find disk\n"));
    platform->launcher.results.clear();
    platform->launcher.answer("", "");
    EXPECT_EQ(run(), Pair("", std::nullopt));
}

TEST_F(TaskHandlerTest, InvalidUtf8OnEitherStreamGivesNoOutputForBoth) {
    const std::string bad[] = {"\xff", "ok\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe2\x82"};
    for (const auto& bytes : bad) {
        platform->launcher.results.clear();
        platform->launcher.answer(bytes, "");
        EXPECT_EQ(run(), Pair("No output", "No output")) << "stdout";
        platform->launcher.results.clear();
        platform->launcher.answer("fine", bytes);
        EXPECT_EQ(run(), Pair("No output", "No output")) << "stderr";
    }
    platform->launcher.results.clear();
    platform->launcher.answer("Grüße € \xf0\x9f\x98\x80 \xf4\x8f\xbf\xbf", "");
    EXPECT_EQ(run().first, "Grüße € \xf0\x9f\x98\x80 \xf4\x8f\xbf\xbf");
}

TEST_F(TaskHandlerTest, AProgramThatCannotStartGivesEmptyOutput) {
    platform->launcher.answer("", "", false);
    EXPECT_EQ(run(), Pair("", std::nullopt));
}

// Polling: every pass is a fresh run; sleeps are one second on the virtual clock.
class EncryptionPollTest : public TaskHandlerTest {
protected:
    std::tuple<bool, int, double> poll() {
        std::tuple<bool, int, double> got{false, -99, -1};
        TaskHandler::pollEncryptionStatus("/bin/sh", {"-c", "fdesetup status"}, [&](bool encrypted, int reason) {
            got = {encrypted, reason, now()};
        });
        return got;
    }
};

TEST_F(EncryptionPollTest, StopsAtTheFirstPassThatSaysFileVaultYesEvenWhenPaused) {
    platform->launcher.answer("Encryption in progress: Percent completed = 40\n");
    platform->launcher.answer("");
    platform->launcher.answer("FileVault is On. Yes. Pause\n");
    platform->sim->setExternalAdapter(false);
    EXPECT_EQ(poll(), std::make_tuple(true, 0, 3.0));
    EXPECT_EQ(platform->launcher.lines.size(), 3U);
}

// Regression: another volume of the container showing "FileVault: Yes" answered "encrypted"
// while the target volume was still at 10 %.
TEST_F(EncryptionPollTest, OnlyTheTargetVolumesBlockIsJudged) {
    const std::string container =
        "+-- Container disk3 0F1E\n"
        "    +-> Volume disk3s1 AAAA\n"
        "    |   Name:                      Macintosh HD\n"
        "    |   FileVault:                 Yes (Unlocked)\n"
        "    |\n"
        "    +-> Volume disk3s5 BBBB\n"
        "    |   Name:                      Data\n"
        "    |   FileVault:                 No (Encryption Progress: 10.0%)\n"
        "    |\n"
        "    +-> Volume disk3s50 CCCC\n"
        "    |   FileVault:                 Yes\n";
    EXPECT_NE(TaskHandler::volumeBlock(container, "disk3s5").find("10.0%"), std::string::npos);
    EXPECT_EQ(TaskHandler::volumeBlock(container, "disk3s5").find("Macintosh HD"), std::string::npos);
    EXPECT_EQ(TaskHandler::volumeBlock(container, "disk3s5").find("CCCC"), std::string::npos);
    EXPECT_EQ(TaskHandler::volumeBlock(container, "disk3s9"), "");

    platform->launcher.answer(container);
    platform->launcher.answer(container + "\n");
    std::string done = container;
    const std::string progress = "No (Encryption Progress: 10.0%)";
    done.replace(done.find(progress), progress.size(), "Yes (Unlocked)");
    platform->launcher.answer(done);
    std::optional<std::tuple<bool, int, double>> got;
    TaskHandler::pollEncryptionStatus(
        "/bin/sh", {"-c", "diskutil apfs list disk3"},
        [&](bool encrypted, int reason) { got = std::make_tuple(encrypted, reason, now()); }, "disk3s5");
    EXPECT_EQ(got, std::make_tuple(true, 0, 3.0));
}

TEST_F(EncryptionPollTest, AnErrorEndsAtOnce) {
    platform->launcher.answer("FileVault is On. Yes.", "fdesetup: command failed\n");
    EXPECT_EQ(poll(), std::make_tuple(false, 1, 1.0));
    platform->launcher.results.clear();
    platform->launcher.answer("\xff");  // undecodable: both streams read "No output", an error
    EXPECT_EQ(poll(), std::make_tuple(false, 1, 2.0));
}

TEST_F(EncryptionPollTest, APauseEndsOnlyOnBattery) {
    platform->launcher.answer("Encryption Paused\n");
    platform->launcher.answer("Encryption Paused\n");
    platform->launcher.answer("FileVault: Yes\n");
    EXPECT_EQ(poll(), std::make_tuple(true, 0, 3.0));  // on mains: waits through the pause

    platform->launcher.results.clear();
    platform->launcher.answer("Encryption Paused\n");
    platform->sim->setExternalAdapter(false);
    EXPECT_EQ(poll(), std::make_tuple(false, 2, 4.0));
}

}  // namespace
}  // namespace harbormind
