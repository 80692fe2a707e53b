// Disk images as the users of an installed system make them: the desktop user reads a disk image
// they attached into a file of their own (the command line opens it and hands it to the daemon),
// writes it back over another once they typed their own password, and attaches the image, whose
// volume then shows in the drive list and in the window's tree; users without the right are
// refused with the reason and get no file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "system/support/SystemInstall.h"
#include "system/support/SystemTest.h"
#include "system/support/SystemWait.h"
#include "system/support/UdevRecord.h"
#include "testsupport/WholeFile.h"

namespace harbormind::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t MiB = 1u << 20;
constexpr const char* password = "Harbour-Pass-1";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Registers a text authentication agent for this very process and then becomes the command
// (exec keeps the process, so the agent is the command's).
constexpr const char* agentScript = R"(
ready="$XDG_RUNTIME_DIR/agent-$$"
mkfifo "$ready" || exit 1
pkttyagent --process $$ --notify-fd 3 3>"$ready" &
read -r _ <"$ready"
rm -f "$ready"
exec "$@"
)";

// The drive whose identifier is `identifier` in `list --json`'s tree, or null.
nlohmann::json findDrive(const nlohmann::json& drives, const std::string& identifier) {
    for (const auto& drive : drives) {
        if (drive.value("identifier", "") == identifier) {
            return drive;
        }
        if (drive.contains("children")) {
            if (auto found = findDrive(drive["children"], identifier); !found.is_null()) {
                return found;
            }
        }
    }
    return nullptr;
}

// A loop device the daemon attached for a user: detached by its exact name when the test ends,
// if the test did not eject it and it still holds the image.
class AttachedImage {
public:
    AttachedImage(std::string loop, std::string image) : loop_(std::move(loop)), image_(std::move(image)) {
        record_ = UdevRecord::write("/dev/" + loop_);
    }
    ~AttachedImage() {
        record_.reset();
        if (attached()) {
            runProgram({"losetup", "-d", "/dev/" + loop_});
        }
    }
    AttachedImage(const AttachedImage&) = delete;
    AttachedImage& operator=(const AttachedImage&) = delete;

    const std::string& loop() const { return loop_; }
    bool attached() const {
        std::string backing = readWholeFile("/sys/block/" + loop_ + "/loop/backing_file");
        return backing.substr(0, backing.find('\n')) == image_;
    }

private:
    std::string loop_;
    std::string image_;
    std::unique_ptr<UdevRecord> record_;
};

class DiskImageSystemTest : public SystemTest {
protected:
    void SetUp() override {
        SystemTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        LoopVolumeOrder order;
        order.label = "HMIMAGE";
        source = &loopVolume(order);
        attachedBy(*source, SystemRole::desktop);
        // Random bytes in the file system's free space at the end, so that data travels, not
        // only the file system's own blocks.
        ASSERT_EQ(runProgram({"dd", "if=/dev/urandom", "of=" + source->volumePath(), "bs=1M", "count=8", "seek=116",
                              "oflag=direct", "conv=notrunc", "status=none"})
                      .status,
                  0);
        LoopVolumeOrder blank;
        blank.fileSystem.clear();
        destination = &loopVolume(blank);
        attachedBy(*destination, SystemRole::desktop);
        // Random bytes over all of it: a restore that skipped the image's zeros would show.
        ASSERT_EQ(runProgram({"dd", "if=/dev/urandom", "of=/dev/" + destination->disk(), "bs=4M", "count=32",
                              "oflag=direct", "status=none"})
                      .status,
                  0);
    }

    std::string homeFile(SystemRole role, const std::string& name) const { return account(role).home() + "/" + name; }

    // Runs harbormindctl as the role's user in a terminal of its own with a text authentication
    // agent, and types the user's own password when polkit asks for it. `out` holds what the
    // terminal showed.
    Outcome ctlWithOwnPassword(SystemRole role, const std::vector<std::string>& arguments) {
        Outcome outcome;
        const std::string name = account(role).name();
        EXPECT_EQ(asRoot({"sh", "-c", "echo \"$0:$1\" | chpasswd", name, password}).status, 0);
        const std::string script = folder() + "/agent-call.sh";
        std::ofstream(script) << agentScript;
        const std::string answers = homeFile(role, "answers");
        const std::string terminal = homeFile(role, "terminal.log");
        EXPECT_EQ(runAs(role, {"mkfifo", answers}).status, 0);
        // Held open for reading and writing, so the terminal's input never ends early.
        const int typing = ::open(answers.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        EXPECT_GE(typing, 0) << answers;
        std::string command = "sh " + script + " " + SystemInstall::ctl();
        for (const std::string& word : arguments) {
            command += " " + word;
        }
        auto child = startAsOnUsualBus(
            role, {"sh", "-c", "exec script -qfec \"$0\" /dev/null <\"$1\" >\"$2\"", command, answers, terminal});
        const bool asked = SystemWait::until([&] { return contains(readWholeFile(terminal), "Password:"); },
                                             std::chrono::seconds(60));
        EXPECT_TRUE(asked) << "polkit never asked for the password: " << readWholeFile(terminal);
        if (asked) {
            const std::string line = std::string(password) + "\n";
            EXPECT_EQ(::write(typing, line.data(), line.size()), static_cast<ssize_t>(line.size()));
        }
        outcome.status = child->waitExit(std::chrono::seconds(180)).value_or(-1);
        ::close(typing);
        outcome.out = readWholeFile(terminal);
        // The agent stays after the command; it ends with the user's other processes.
        endProcessesOf(role);
        return outcome;
    }

    bool sameBytes() const {
        return runProgram({"cmp", "-n", std::to_string(128 * MiB), "/dev/" + source->disk(),
                           "/dev/" + destination->disk()})
                   .status == 0;
    }

    LoopVolume* source = nullptr;
    LoopVolume* destination = nullptr;
};

TEST_F(DiskImageSystemTest, UsersWithoutTheRightAreRefusedWithTheReasonAndGetNoFile) {
    for (SystemRole role : {SystemRole::refused, SystemRole::otherDesktop}) {
        const std::string file = homeFile(role, "theirs.img");
        Outcome created = ctl(role, {"image", "create", source->disk(), file});
        EXPECT_NE(created.status, 0) << created.out;
        EXPECT_TRUE(contains(created.err, "image create " + source->disk() + " failed: ")) << created.err;
        // Another user's disk image holds what only its owner could read.
        if (role == SystemRole::otherDesktop) {
            EXPECT_TRUE(contains(created.err, "needs an administrator")) << created.err;
        }
        EXPECT_FALSE(fs::exists(file)) << file;
    }
    Outcome status = ctl(SystemRole::otherDesktop, {"image", "status", "--json"});
    EXPECT_EQ(status.status, 0) << status.err;
    EXPECT_TRUE(contains(status.out, "\"state\": \"none\"")) << status.out;

    // Writing over the desktop user's disk image, without their password, is not done.
    const std::string image = homeFile(SystemRole::desktop, "photos.img");
    ASSERT_EQ(ctl(SystemRole::desktop, {"image", "create", source->disk(), image}).status, 0);
    Outcome restored = ctl(SystemRole::desktop, {"image", "restore", image, destination->disk(), "--yes"});
    EXPECT_NE(restored.status, 0) << restored.out;
    // Restoring has its own polkit action, and the refusal names it.
    EXPECT_TRUE(contains(restored.err, "restoring disk images onto removable drives is not permitted")) << restored.err;
    EXPECT_FALSE(sameBytes());
}

TEST_F(DiskImageSystemTest, TheDesktopUserImagesTheirDiskRestoresItElsewhereAndAttachesIt) {
    const SystemAccount& user = account(SystemRole::desktop);
    const std::string image = homeFile(SystemRole::desktop, "photos.img");
    Outcome created = ctl(SystemRole::desktop, {"image", "create", source->disk(), image});
    ASSERT_EQ(created.status, 0) << created.out << created.err;
    EXPECT_TRUE(contains(created.out, "Made " + image)) << created.out;
    struct stat facts {};
    ASSERT_EQ(::stat(image.c_str(), &facts), 0);
    EXPECT_EQ(facts.st_uid, user.uid()) << "the image is not the user's own file";
    EXPECT_EQ(facts.st_mode & 07777, 0600u);
    EXPECT_EQ(static_cast<std::uint64_t>(facts.st_size), 128 * MiB);
    EXPECT_LT(static_cast<std::uint64_t>(facts.st_blocks) * 512, 64 * MiB) << "the image is not sparse";

    Outcome restored = ctlWithOwnPassword(SystemRole::desktop,
                                          {"image", "restore", image, destination->disk(), "--yes"});
    EXPECT_EQ(restored.status, 0) << restored.out << daemonLog();
    EXPECT_TRUE(contains(restored.out, "Wrote " + image + " over")) << restored.out;
    EXPECT_TRUE(sameBytes()) << "the restored disk differs from the one imaged";

    // The device the daemon attaches goes also when the test is killed before it detaches it.
    LoopImageCleanup attachedImageCleanup(image);
    Outcome attached = ctl(SystemRole::desktop, {"attach", image});
    ASSERT_EQ(attached.status, 0) << attached.out << attached.err;
    std::smatch named;
    ASSERT_TRUE(std::regex_search(attached.out, named, std::regex(" as (loop[0-9]+)"))) << attached.out;
    AttachedImage loop(named[1], image);
    ASSERT_TRUE(loop.attached());

    Outcome listed = ctl(SystemRole::desktop, {"list", "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    nlohmann::json drive = findDrive(nlohmann::json::parse(listed.out, nullptr, false), loop.loop());
    ASSERT_FALSE(drive.is_null()) << listed.out;
    EXPECT_EQ(drive.value("name", ""), "photos.img") << drive.dump();
    EXPECT_EQ(drive.value("fileSystem", ""), "ext4") << drive.dump();
    EXPECT_EQ(drive.value("status", ""), "notEncrypted") << drive.dump();
    EXPECT_EQ(drive.value("capacity", std::int64_t{0}), static_cast<std::int64_t>(128 * MiB)) << drive.dump();

    WindowFlowOutcome shown = window(SystemRole::desktop, "show", {loop.loop()});
    EXPECT_EQ(shown.run.status, 0) << shown.run.err;
    EXPECT_EQ(shown.report["drive"].value("inTree", false), true) << shown.report.dump();
    EXPECT_EQ(shown.report["drive"].value("name", ""), "photos.img") << shown.report.dump();

    Outcome ejected = ctl(SystemRole::desktop, {"eject", loop.loop()});
    EXPECT_EQ(ejected.status, 0) << ejected.out << ejected.err;
    EXPECT_FALSE(loop.attached()) << "the image is still attached after its eject";
}

}  // namespace
}  // namespace harbormind::test
