#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "AppTestSupport.h"
#include "ScreenshotLook.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/shell/DMFeatureWindowFactory.h"
#include "app/drives/DMDriveManagerOperations.h"
#include "app/common/DMFirstAidTexts.h"
#include "app/firstaid/DMFirstAidWindowController.h"
#include "drivemodel/DMCheckDiskWrapper.h"
#include "drivemodel/DMDriveManagerDelegateProtocol.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "engines/checkdisk/CheckDiskEngine.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "platform/sim/SimPlatform.h"
#include "support/Dispatch.h"
#include "testsupport/ClockedThread.h"
#include "testsupport/VirtualClockTest.h"
#include "xpc/XPCTransport.h"

namespace harbormind {
namespace {

class QuietDelegate final : public DMDriveManagerDelegateProtocol {
public:
    void driveAdded(std::shared_ptr<DMDriveObjectProtocol>) override {}
    void driveRemoved(std::shared_ptr<DMDriveObjectProtocol>) override {}
    void driveMounted(std::shared_ptr<DMDriveObjectProtocol>) override {}
    void driveUnmounted(std::shared_ptr<DMDriveObjectProtocol>) override {}
    void driveChanged(std::shared_ptr<DMDriveObjectProtocol>) override {}
};

// First Aid from the dispatcher to the sheet, on the simulated desk of USB disks.
class FirstAidTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        SimLoadResult loaded = SimPlatform::load(test::scenarioPath("usb-disks.json"));
        ASSERT_TRUE(loaded) << loaded.error;
        Platform::setCurrent(loaded.platform);
        simPlatform = loaded.platform;
        daemon = std::make_shared<InProcessDaemon>(loaded.platform->daemonAnswers());
        // The daemon's stream is held until the test sends it.
        daemon->setFirstAidRunner(
            [this](const std::vector<std::string>&, InProcessDaemon::FirstAidSender send) {
                std::lock_guard lock(senderMutex);
                sender = std::move(send);
            });
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
        manager = DMLocalDriveManager::create(delegate);
        manager->start();
        presenter = std::make_shared<test::RecordingPresenter>();
        auto operations = std::make_shared<DMDriveManagerOperations>(nullptr);
        windows = std::make_shared<DMFeatureWindowFactory>(operations, presenter);
        dispatcher = std::make_shared<DMDriveActionManager>(operations, presenter, windows);
        mainWindow = std::make_unique<QWidget>();
        mainWindow->resize(900, 600);
        settle();
    }

    void TearDown() override {
        if (dispatcher && windows->checkDiskWindowController()) {
            windows->checkDiskWindowController()->close();
        }
        settle();
        dispatcher.reset();
        manager.reset();
        mainWindow.reset();
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }

    void settle(double limit = 1.0) {
        Dispatch::main().runUntil([] { return false; }, seconds(limit));
    }

    void firstAid(const std::string& identifier) {
        dispatcher->perform(DMDriveAction::firstAid, manager->driveObjs().at(identifier), mainWindow.get());
        // An NTFS drive is unmounted first, with up to 60 one-second looks.
        settle(DMCheckDiskWrapper::unmountChecks + 5);
    }

    std::vector<std::string> commandLines() {
        std::vector<std::string> lines;
        for (const auto& call : daemon->calls()) {
            if (call.service == "checkDisk" && call.method == "firstAidWithArguments") {
                lines.push_back(call.arguments.front() + " " + call.arguments.back());
            }
        }
        return lines;
    }

    void send(const std::string& info, std::int64_t status) {
        InProcessDaemon::FirstAidSender copy;
        {
            std::lock_guard lock(senderMutex);
            copy = sender;
        }
        ASSERT_TRUE(copy);
        copy(info, status);
        settle(0.1);
    }

    DMFirstAidWindowController& sheet() { return *windows->checkDiskWindowController(); }
    std::string title() { return sheet().titleLabel()->text().toStdString(); }
    std::string detail() { return sheet().detailView()->toPlainText().toStdString(); }

    // Runs the main queue until `done`. The stream comes from a thread the clock counts as work,
    // so the virtual time limit only passes once that thread has ended.
    bool settleUntil(const std::function<bool()>& done) { return Dispatch::main().runUntil(done, seconds(300)); }

    void saveScreenshot(const std::string& name) {
        if (const char* folder = std::getenv("HARBORMIND_SCREENSHOT_DIR")) {
            QApplication::processEvents();
            sheet().window()->grab().save(QString::fromStdString(std::string(folder) + "/" + name));
        }
    }

    std::shared_ptr<QuietDelegate> delegate = std::make_shared<QuietDelegate>();
    std::shared_ptr<SimPlatform> simPlatform;
    std::shared_ptr<InProcessDaemon> daemon;
    std::mutex senderMutex;
    InProcessDaemon::FirstAidSender sender;
    std::shared_ptr<DMLocalDriveManager> manager;
    std::shared_ptr<test::RecordingPresenter> presenter;
    std::shared_ptr<DMFeatureWindowFactory> windows;
    std::shared_ptr<DMDriveActionManager> dispatcher;
    std::unique_ptr<QWidget> mainWindow;
};

const std::string ntfsChecker = "'/Applications/Kestrane Harbormind.app/Contents/MacOS/fsck_NTFS'";

TEST_F(FirstAidTest, NtfsAsksFirstAndEachAnswerSendsItsCommand) {
    presenter->answers = {2, 0, 1};
    firstAid("disk5s1");
    ASSERT_EQ(presenter->shown.size(), 1u);
    const DMAlert& alert = presenter->shown[0].alert;
    EXPECT_EQ(alert.title,
              "The disk check feature will check and repair errors on the disk. If there are errors "
              "found, please back up the important data before repairing.");
    EXPECT_EQ(alert.text, "Do you want to check and repair the disk \"ELEMENTS\"?");
    EXPECT_EQ(alert.buttons, (std::vector<std::string>{"Check", "Repair", "Cancel"}));
    EXPECT_EQ(presenter->shown[0].window, mainWindow.get());
    EXPECT_EQ(windows->checkDiskWindowController(), nullptr) << "Cancel opens nothing";
    EXPECT_TRUE(commandLines().empty());

    firstAid("disk5s1");
    auto first = windows->checkDiskWindowController();
    firstAid("disk5s1");
    EXPECT_NE(windows->checkDiskWindowController(), first) << "a fresh sheet each time";
    EXPECT_FALSE(first->window()->isVisible());
    EXPECT_EQ(commandLines(),
              (std::vector<std::string>{"-c " + ntfsChecker + " /dev/disk5s1 kestrane_chkdsk",
                                        "-c " + ntfsChecker + " /dev/disk5s1 -F kestrane_chkdsk"}));
}

TEST_F(FirstAidTest, OtherVolumesAreCheckedAtOnceAndTheSheetFollowsTheStages) {
    firstAid("disk4s1");
    EXPECT_TRUE(presenter->shown.empty());
    EXPECT_EQ(commandLines(), (std::vector<std::string>{"-c diskutil repairVolume disk4s1"}));
    ASSERT_NE(windows->checkDiskWindowController(), nullptr);
    EXPECT_TRUE(sheet().window()->isVisible());
    EXPECT_EQ(sheet().window()->parentWidget(), mainWindow.get());
    EXPECT_EQ(title(), "Checking the drive");
    EXPECT_EQ(sheet().tipLabel()->text().toStdString(), "Preparing...");
    EXPECT_EQ(detail(), "");
    EXPECT_FALSE(sheet().completeButton()->isEnabled());
    EXPECT_EQ(sheet().helpButton()->text().toStdString(), "Help");

    send("ignored", 0);
    EXPECT_EQ(title(), "Checking the drive");
    EXPECT_EQ(sheet().progressBar()->value(), 200);
    EXPECT_EQ(detail(), "Checking the drive. Please wait...\n");
    send("** Checking the volume.\n", 1);
    send("** Checking extents.\n", 1);
    EXPECT_EQ(title(), "Preparing...");
    EXPECT_EQ(sheet().progressBar()->value(), 500);
    EXPECT_EQ(detail(),
              "Checking the drive. Please wait...\n** Checking the volume.\n** Checking extents.\n");
    EXPECT_FALSE(sheet().completeButton()->isEnabled());
    send("not a stage", 9);
    EXPECT_EQ(title(), "Preparing...");
    send("No errors found", 3);
    EXPECT_EQ(title(), "Complete");
    EXPECT_EQ(sheet().progressBar()->value(), 1000);
    EXPECT_EQ(detail(),
              "Checking the drive. Please wait...\n** Checking the volume.\n** Checking extents.\nCheck "
              "complete\n");
    EXPECT_TRUE(sheet().completeButton()->isEnabled());
    sheet().completeButton()->click();
    EXPECT_FALSE(sheet().window()->isVisible());
}

TEST_F(FirstAidTest, AMountedVolumeIsUnmountedCheckedAndMountedAgainAndOneInUseIsNotChecked) {
    auto volume = std::dynamic_pointer_cast<DMLocalDriveObject>(manager->driveObjs().at("disk8s1"));
    ASSERT_EQ(volume->mountPoint(), "/Volumes/Installer");
    firstAid("disk8s1");
    EXPECT_EQ(commandLines(), (std::vector<std::string>{"-c diskutil repairVolume disk8s1"}));
    EXPECT_EQ(volume->mountPoint(), std::nullopt) << "the checker never sees a mounted file system";
    send("", 0);
    send("** Checking the volume.\n", 1);
    send("No errors found", 3);
    settle(1.0);
    EXPECT_EQ(volume->mountPoint(), "/Volumes/Installer");
    EXPECT_EQ(detail(),
              "Checking the drive. Please wait...\n"
              "disk8s1 was unmounted from /Volumes/Installer for the check; it is mounted again when the check ends.\n"
              "** Checking the volume.\n"
              "disk8s1 is mounted again at /Volumes/Installer.\n"
              "Check complete\n");
    EXPECT_EQ(title(), "Complete");
    EXPECT_EQ(sheet().tipLabel()->text().toStdString(), "No errors found");

    simPlatform->setBusy("disk8s1", true);
    firstAid("disk8s1");
    EXPECT_EQ(commandLines().size(), 1u) << "a volume in use is not checked";
    EXPECT_EQ(volume->mountPoint(), "/Volumes/Installer");
    EXPECT_EQ(title(), "The check did not complete");
    EXPECT_NE(sheet().tipLabel()->text().toStdString().find("could not be unmounted for the check"), std::string::npos)
        << sheet().tipLabel()->text().toStdString();
}

TEST_F(FirstAidTest, AStoppedCheckLooksLikeAFailureAndSaysWhy) {
    firstAid("disk4s1");
    send("", 0);
    send("/dev/sdb1 is mounted. Unmount it before repairing it.", 2);
    EXPECT_EQ(title(), "The check did not complete");
    EXPECT_EQ(sheet().tipLabel()->text().toStdString(), "/dev/sdb1 is mounted. Unmount it before repairing it.");
    EXPECT_FALSE(sheet().progressBar()->isVisible());
    EXPECT_EQ(sheet().progressBar()->value(), 0);
    EXPECT_NE(detail().find("\n/dev/sdb1 is mounted. Unmount it before repairing it.\n"), std::string::npos) << detail();
    EXPECT_TRUE(sheet().completeButton()->isEnabled());
    saveScreenshot("first-aid-stopped.png");

    firstAid("disk4s1");
    send("refused: not authorized", 2);
    EXPECT_EQ(sheet().tipLabel()->text().toStdString(),
              "Your account is not allowed to check this drive. Ask an administrator, or see \"man harbormindctl\" "
              "(ACCESS).");
    EXPECT_EQ(detail(), "refused: not authorized\n");
}

TEST_F(FirstAidTest, ARealCheckerStreamsIntoTheSheet) {
    if (std::system("command -v mkfs.vfat >/dev/null 2>&1 && command -v fsck.vfat >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "dosfstools is not installed";
    }
    std::string folder =
        std::filesystem::temp_directory_path() / ("hm-firstaid-app-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string image = folder + "/STICK.img";
    ASSERT_EQ(
        std::system(
            ("truncate -s 16M '" + image + "' && mkfs.vfat -n STICK '" + image + "' >/dev/null").c_str()),
        0);
    // The daemon's part, for real: the engine checks the image with fsck.vfat.
    auto engine = std::make_shared<CheckDiskEngine>();
    std::unique_ptr<test::ClockedThread> checking;
    daemon->setFirstAidRunner([&](const std::vector<std::string>&, InProcessDaemon::FirstAidSender send) {
        checking = std::make_unique<test::ClockedThread>([engine, image, send] {
            engine->run({image, CheckDiskMode::check}, [send](DMCheckStatus status, const std::string& line) {
                send(line, static_cast<std::int64_t>(status));
            });
        });
    });
    firstAid("disk4s1");
    EXPECT_TRUE(settleUntil([&] { return sheet().completeButton()->isEnabled(); }));
    checking.reset();
    std::string text = detail();
    EXPECT_NE(text.find("fsck.fat"), std::string::npos) << text;
    EXPECT_NE(text.find("No errors found\nCheck complete\n"), std::string::npos) << text;
    saveScreenshot("first-aid.png");

    {
        test::ScreenshotLook look;
        look.use(true);
        saveScreenshot("first-aid-dark.png");
    }
    std::filesystem::remove_all(folder);
}

TEST_F(FirstAidTest, HundredThousandLinesReachTheSheetWithoutLosingOne) {
    firstAid("disk4s1");
    InProcessDaemon::FirstAidSender copy;
    {
        std::lock_guard lock(senderMutex);
        copy = sender;
    }
    ASSERT_TRUE(copy);
    // The window's thread takes the lines a thousand at a time, so it answers the user
    // between them: no single turn lays out the whole flood.
    QPlainTextEdit* view = sheet().detailView();
    QObject turns;
    int lastCount = view->blockCount();
    int largestStep = 0;
    QObject::connect(view->document(), &QTextDocument::blockCountChanged, &turns, [&](int count) {
        largestStep = std::max(largestStep, count - lastCount);
        lastCount = count;
    });
    test::ClockedThread flood([copy] {
        copy("", 0);
        for (int line = 1; line <= 100000; ++line) {
            copy("line " + std::to_string(line) + "\n", 1);
        }
        copy("", 3);
    });
    EXPECT_TRUE(settleUntil([&] { return sheet().completeButton()->isEnabled(); }));
    flood.join();
    EXPECT_LE(largestStep, 1000);
    EXPECT_EQ(view->blockCount(), 100003);
    EXPECT_EQ(view->document()->findBlockByNumber(100000).text().toStdString(), "line 100000");
    EXPECT_EQ(view->document()->findBlockByNumber(100001).text().toStdString(), "Check complete");
}

}  // namespace
}  // namespace harbormind
