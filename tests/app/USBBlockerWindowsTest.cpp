#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTableWidget>
#include <atomic>

#include "app/common/DMTr.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/shell/DMFeatureWindowFactory.h"
#include "app/usb/DMUSBBlockerControl.h"
#include "app/usb/USBBlockerSettingEntryWindowController.h"
#include "app/usb/USBBlockerStopWindowController.h"
#include "app/usb/USBBLockerWindowController.h"
#include "app/usb/USBChangePasswordViewController.h"
#include "app/usb/USBGeneralViewController.h"
#include "app/usb/USBOutlineView.h"
#include "app/usb/USBSetPasswordWindowController.h"
#include "app/usb/USBShakeAnimation.h"
#include "app/usb/USBViewController.h"
#include "app/usb/USBWhiteListViewController.h"
#include "AppTestSupport.h"
#include "ScreenshotLook.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "platform/CommandTable.h"
#include "platform/SettingsStores.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "platform/sim/SimFileContents.h"
#include "platform/sim/SimPlatform.h"
#include "StickOperations.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"
#include "usbblocker/DriveTools.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBDiskList.h"
#include "usbblocker/USBListsEditor.h"
#include "xpc/XPCTransport.h"

namespace harbormind {
namespace {

namespace T = USBBlockerTexts;
const std::string listsPath = "/private/var/kestrane/usbblocker.cnf";

std::string repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

void type(QLineEdit* field, const std::string& text) {
    field->setText(QString::fromStdString(text));
    emit field->textEdited(field->text());
}

std::string shown(const QLabel* label) {
    return label->isHidden() ? std::string() : label->text().toStdString();
}

bool shook(QWidget* field) {
    auto* animation = field->findChild<QPropertyAnimation*>(QString::fromUtf8(USBShakeAnimation::key));
    return animation != nullptr && animation->duration() == 500 &&
           animation->easingCurve().type() == QEasingCurve::Linear;
}

// The control of "USB Warden" on the simulated machine of usb-disks.json, with the daemon in
// the process (it keeps the Warden, checks its password and changes the lists file as the
// real one does) and a presenter that records every notice and alert.
class USBBlockerWindowsTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        auto loaded = SimPlatform::load(test::scenarioPath("usb-disks.json"));
        ASSERT_TRUE(loaded.platform) << loaded.error;
        platform = loaded.platform;
        Platform::setCurrent(platform);
        platform->files().setFile(listsPath, "WD Elements 25A2 Media:1000__white\n");
        answerDaemon(true, true);
        tools = std::make_unique<DriveTools>([p = platform.get()] { return p->diskArbitration().createSession(); },
                                             platform->registry(), nullptr);
        USBDiskListServices services = USBDiskList::platformServices();
        services.driveTools = tools.get();
        services.savePath = listsPath;
        services.watchedFolder = "/private/var";
        lists = std::make_unique<USBDiskList>(services);
        services.fileEvents = nullptr;
        daemonLists = std::make_unique<USBDiskList>(services);
        presenter = std::make_shared<test::RecordingPresenter>();
        mainWindow = std::make_unique<QWidget>();
        mainWindow->resize(900, 600);
        mainWindow->show();
        DMUSBBlockerControl::Services control;
        control.presenter = presenter;
        control.blockerSwitch = std::make_shared<USBBlockerSwitch>(std::make_shared<DMUSBBlockerWrapper>());
        control.diskList = lists.get();
        control.driveTools = tools.get();
        usb = std::make_unique<DMUSBBlockerControl>(control, [w = mainWindow.get()] { return w; });
    }

    void TearDown() override {
        usb.reset();
        mainWindow.reset();
        settle();
        lists.reset();
        daemonLists.reset();
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }

    void answerDaemon(bool add, bool remove) {
        PlatformValue::Dictionary service{{"addPlistFileWithReply", PlatformValue(add)},
                                          {"removePlistFileWithReply", PlatformValue(remove)}};
        daemon = std::make_shared<InProcessDaemon>(PlatformValue::Dictionary{{"usbBlocker", PlatformValue(service)}});
        daemon->usbWarden().setListsChange([this](const std::string& name, std::int64_t size, bool white, bool adding) {
            return changeLists(name, size, white, adding);
        });
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
    }
    // The daemon's side of a list change: the file is changed by it, or (when it is root's
    // and refuses) not at all.
    XPCCodeAnswer changeLists(const std::string& name, std::int64_t size, bool white, bool add) {
        if (listsRefused) {
            return {13, "refused: not authorized"};
        }
        USBListsEditor editor(*daemonLists);
        USBListsEditResult result = !add  ? editor.removeFrom(name, white ? USBListKind::White : USBListKind::Black)
                                    : white ? editor.allow(name, size)
                                            : editor.block(name, size);
        return {result == USBListsEditResult::Done ? 0 : 1, USBListsEditor::message(result)};
    }
    std::vector<std::string> daemonCalls() {
        std::vector<std::string> names;
        for (const auto& call : daemon->calls()) {
            names.push_back(call.method);
        }
        return names;
    }
    std::optional<bool> switchValue() { return USBBlockerSettings::current().switchValue(); }
    void settle(double limit = 1.0) {
        QApplication::processEvents();
        Dispatch::main().runUntil([] { return false; }, seconds(limit));
        QApplication::processEvents();
    }
    // The texts of every notice and alert, in order (a notice's text is its message).
    std::vector<std::string> messages() {
        std::vector<std::string> result;
        for (const auto& entry : presenter->shown) {
            result.push_back(entry.alert.title.empty() ? entry.alert.text : entry.alert.title);
        }
        return result;
    }
    std::vector<std::string> loadRuns() {
        std::vector<std::string> lines;
        for (const auto& run : platform->scriptRuns()) {
            lines.push_back(run.commandLine);
        }
        return lines;
    }
    void turnOn(const std::string& password = "pw", int mode = 1) { daemon->usbWarden().set(true, mode, password); }

    std::shared_ptr<SimPlatform> platform;
    std::shared_ptr<InProcessDaemon> daemon;
    std::unique_ptr<DriveTools> tools;
    std::unique_ptr<USBDiskList> lists;
    std::unique_ptr<USBDiskList> daemonLists;
    bool listsRefused = false;
    std::shared_ptr<test::RecordingPresenter> presenter;
    std::unique_ptr<QWidget> mainWindow;
    std::unique_ptr<DMUSBBlockerControl> usb;
};

TEST_F(USBBlockerWindowsTest, FirstPasswordRefusesInOrderAndClosingWithoutOkStoresNothing) {
    usb->startUSBBlockerWithSender(0);
    USBSetPasswordWindowController* window = usb->usbSetPasswordWindowController();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->btnOk->text().toStdString(), "OK");

    window->btnOk->click();
    EXPECT_EQ(shown(window->lbErrorTip), T::enterPassword);
    type(window->editPassword, "abc");
    type(window->editPasswordAgain, "abd");
    window->btnOk->click();
    EXPECT_EQ(shown(window->lbErrorTip), T::passwordsDiffer);
    // 49 accented letters, each two code points: too long while typing and on OK.
    std::string long49 = repeat("e\xCC\x81", 49);
    type(window->editPassword, long49);
    EXPECT_EQ(shown(window->lbErrorTip), std::string(DMTr::text(T::tooLongWhileTyping)));
    type(window->editPasswordAgain, long49);
    window->btnOk->click();
    EXPECT_EQ(shown(window->lbErrorTip), T::exceedsMaximumLength);
    EXPECT_TRUE(window->isVisible());

    // Valid fields, but the window is closed without OK: nothing stored, nothing turned on.
    type(window->editPassword, "valid");
    type(window->editPasswordAgain, "valid");
    window->close();
    // The window deletes itself once the event loop runs again: read its end code first.
    EXPECT_EQ(window->endCode(), USBPasswordWindow::codeCancelled);
    settle();
    EXPECT_EQ(daemon->usbWarden().password(), std::nullopt);
    EXPECT_EQ(switchValue(), std::nullopt);
    EXPECT_FALSE(daemon->usbWarden().unitInstalled());
}

TEST_F(USBBlockerWindowsTest, FirstStartWithA48CharacterPasswordTurnsItOnAndOpensTheSettings) {
    usb->startUSBBlockerWithSender(0);
    USBSetPasswordWindowController* window = usb->usbSetPasswordWindowController();
    ASSERT_NE(window, nullptr);
    // 48 family emoji: far more than 48 bytes or code points, still 48 characters.
    std::string family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
    std::string password = repeat(family, 48);
    type(window->editPassword, password);
    type(window->editPasswordAgain, password);
    EXPECT_EQ(shown(window->lbErrorTip), "");
    window->btnOk->click();
    settle(0.1);
    EXPECT_EQ(daemon->usbWarden().password(), password);
    EXPECT_TRUE(daemon->usbWarden().unitInstalled());
    EXPECT_EQ(switchValue(), true);
    EXPECT_TRUE(usb->usbBLockerWindowController()->isVisible());
    EXPECT_TRUE(loadRuns().empty());
    settle(0.3);
    EXPECT_DOUBLE_EQ(now(), 0.4);
    EXPECT_EQ(loadRuns(), std::vector<std::string>{platform->commands().loadUSBBlockerAgent()});
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(DMTr::text(T::enabled))});
}

TEST_F(USBBlockerWindowsTest, StartWithAPasswordSetGoesStraightToTheDaemonAndStopsWhenItRefuses) {
    answerDaemon(false, true);
    daemon->usbWarden().set(false, 1, std::string("pw"));
    usb->startUSBBlockerWithSender(0);
    settle();
    EXPECT_EQ(usb->usbSetPasswordWindowController(), nullptr);
    EXPECT_EQ(messages(), std::vector<std::string>{T::enableFailed});
    EXPECT_EQ(presenter->shown[0].alert.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(switchValue(), false);
    EXPECT_TRUE(loadRuns().empty());

    // Without a user service manager the agent does not start: the Warden is on all the same
    // (the daemon guards), and that is what the one notice says.
    answerDaemon(true, true);
    daemon->usbWarden().set(false, 1, std::string("pw"));
    ASSERT_TRUE(platform->addScriptRule(
        R"({"match": ")" + platform->commands().loadUSBBlockerAgent() + R"(", "succeeded": false})"));
    usb->startUSBBlockerWithSender(0);
    settle();
    EXPECT_EQ(switchValue(), true);
    EXPECT_EQ(messages().back(), T::agentNotStarted);
    EXPECT_EQ(presenter->shown.back().window, mainWindow.get()) << "a notice behind the main window";
}

TEST_F(USBBlockerWindowsTest, StopRefusesThenUnloadsHalfASecondLaterAndRemovesTheAgentFile) {
    turnOn("right");
    usb->startUSBBlockerWithSender(1);
    USBBlockerStopWindowController* window = usb->usbBlockerStopwindowController();
    ASSERT_NE(window, nullptr);
    window->btnOk->click();
    EXPECT_EQ(shown(window->lbErrorTip), T::enterPassword);
    EXPECT_TRUE(shook(window->editPassword));
    type(window->editPassword, "wrong");
    window->btnOk->click();
    EXPECT_EQ(shown(window->lbErrorTip).rfind(T::incorrectPassword, 0), 0u) << shown(window->lbErrorTip);
    // The daemon makes the next try wait, the right password included.
    type(window->editPassword, "right");
    window->btnOk->click();
    EXPECT_NE(shown(window->lbErrorTip).find("Try again"), std::string::npos) << shown(window->lbErrorTip);
    EXPECT_FALSE(window->stopSuccess);

    double clicked = now();
    window->btnOk->click();
    EXPECT_TRUE(window->stopSuccess);
    settle(0.4);
    EXPECT_TRUE(loadRuns().empty());
    settle(0.2);
    EXPECT_EQ(loadRuns(), std::vector<std::string>{platform->commands().unloadUSBBlockerAgent()});
    EXPECT_GE(now() - clicked, 0.5);
    settle();
    EXPECT_EQ(usb->usbBlockerStopwindowController(), nullptr);
    EXPECT_EQ(switchValue(), false);
    EXPECT_FALSE(daemon->usbWarden().unitInstalled());
    // One message, on the main window: what happened.
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(DMTr::text(T::disabled))});
    EXPECT_EQ(presenter->shown[0].window, mainWindow.get());
}

TEST_F(USBBlockerWindowsTest, StopSaysWhatHappenedWhenTheAgentOrTheDaemonDoesNotFollow) {
    // A daemon that refuses leaves the Warden on, starts the agent again and says why.
    turnOn("right");
    usb->startUSBBlockerWithSender(1);
    USBBlockerStopWindowController* window = usb->usbBlockerStopwindowController();
    type(window->editPassword, "right");
    window->btnOk->click();
    daemon->usbWarden().set(true, 1, std::string("changed meanwhile"));
    settle();
    EXPECT_EQ(switchValue(), true);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].rfind(DMTr::text(T::disableFailed), 0), 0u) << messages()[0];
    EXPECT_EQ(loadRuns(), (std::vector<std::string>{platform->commands().unloadUSBBlockerAgent(),
                                                    platform->commands().loadUSBBlockerAgent()}));
    presenter->answer(0, 0);
    settle();

    // A cancelled stop window changes nothing.
    usb->startUSBBlockerWithSender(1);
    usb->usbBlockerStopwindowController()->btnCancel->click();
    settle();
    EXPECT_EQ(switchValue(), true);

    // Off, and an agent that could not be stopped is said in the same notice, never "Failed".
    answerDaemon(true, true);
    turnOn("right");
    ASSERT_TRUE(platform->addScriptRule(
        R"({"match": ")" + platform->commands().unloadUSBBlockerAgent() + R"(", "succeeded": false})"));
    usb->startUSBBlockerWithSender(1);
    window = usb->usbBlockerStopwindowController();
    type(window->editPassword, "right");
    window->btnOk->click();
    settle();
    EXPECT_EQ(switchValue(), false);
    EXPECT_EQ(messages().back(), std::string(DMTr::text(T::disabled)) + " " + DMTr::text(T::agentNotStopped));
}

TEST_F(USBBlockerWindowsTest, SettingsOpenOnlyBehindTheRightPassword) {
    turnOn("right");
    usb->settingUSBBlokcerWithSender();
    USBBlockerSettingEntryWindowController* entry = usb->usbEntryWindowController();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->lbPasswordTip->text().toStdString(), T::settingsTip);
    entry->btnOk->click();
    EXPECT_EQ(shown(entry->lblengthError), T::enterPassword);
    type(entry->editPassword, "wrong");
    entry->btnOk->click();
    EXPECT_EQ(shown(entry->lblengthError).rfind(T::incorrectPassword, 0), 0u);
    EXPECT_TRUE(shook(entry->editPassword));
    entry->btnCancel->click();
    settle();
    EXPECT_FALSE(usb->usbBLockerWindowController()->isVisible());

    usb->settingUSBBlokcerWithSender();
    type(usb->usbEntryWindowController()->editPassword, "right");
    usb->usbEntryWindowController()->btnOk->click();
    EXPECT_NE(shown(usb->usbEntryWindowController()->lblengthError).find("Try again"), std::string::npos);
    usb->usbEntryWindowController()->btnOk->click();
    settle();
    EXPECT_TRUE(usb->usbBLockerWindowController()->isVisible());
}

TEST_F(USBBlockerWindowsTest, SettingsWindowPagesWriteTheModeChangeThePasswordAndListTheWhiteList) {
    turnOn("old");
    platform->files().setFile(listsPath, "WD Elements 25A2 Media:1000__white\nSanDisk Ultra Media:30__white\n"
                                         "Generic Flash Disk Media:16__black\n");
    lists->load();
    USBBLockerWindowController* window = usb->usbBLockerWindowController();
    window->setPassword("old");
    window->select(0);
    EXPECT_EQ(window->size(), QSize(700, 420));
    EXPECT_EQ(window->usbOutlineView->dataSource,
              (std::vector<std::string>{"General", "Set password", "White List"}));

    USBGeneralViewController* general = window->usbViewController->usbGeneralViewController;
    EXPECT_EQ(window->usbViewController->currentController, general);
    EXPECT_EQ(general->btnModelSelect->currentIndex(), 0);
    general->btnModelSelect->setCurrentIndex(1);
    emit general->btnModelSelect->activated(1);
    EXPECT_EQ(daemon->usbWarden().mode(), 2);
    general->btnModelSelect->setCurrentIndex(0);
    window->select(1);
    window->select(0);
    EXPECT_EQ(general->btnModelSelect->currentIndex(), 1);

    window->select(1);
    USBChangePasswordViewController* page = window->usbViewController->usbChangePasswordViewController;
    EXPECT_EQ(window->usbViewController->currentController, page);
    EXPECT_EQ(page->lbTitle->text().toStdString(), T::changePasswordTitle) << "a password is set already";
    type(page->editNewPassword, "new");
    EXPECT_FALSE(page->btnChangePassword->isEnabled());
    type(page->editaffirmancePassword, "new");
    EXPECT_TRUE(page->btnChangePassword->isEnabled());
    type(page->editOldPassword, "bad");
    page->btnChangePassword->click();
    EXPECT_EQ(shown(page->lbErrorTip).rfind(T::incorrectPassword, 0), 0u);
    EXPECT_TRUE(shook(page->editOldPassword));
    page->btnChangePassword->click();  // the wait the wrong one caused
    type(page->editOldPassword, "old");
    EXPECT_EQ(shown(page->lbErrorTip), "");
    double changedAt = now();
    page->btnChangePassword->click();
    EXPECT_EQ(daemon->usbWarden().password(), "new");
    EXPECT_TRUE(presenter->shown.empty());
    settle();
    EXPECT_EQ(messages().back(), T::passwordChanged);
    EXPECT_GE(now() - changedAt, 0.5);
    EXPECT_TRUE(page->editOldPassword->text().isEmpty());

    window->select(2);
    USBWhiteListViewController* whiteList = window->usbViewController->usbWhiteListViewController;
    ASSERT_EQ(whiteList->table->rowCount(), 2);
    EXPECT_EQ(whiteList->table->item(0, 1)->text().toStdString(), "1 TB");
    EXPECT_EQ(whiteList->table->item(1, 0)->text().toStdString(), "SanDisk Ultra Media");
    ASSERT_EQ(whiteList->blackTable->rowCount(), 1);
    EXPECT_EQ(whiteList->blackTable->item(0, 0)->text().toStdString(), "Generic Flash Disk Media");
    // A daemon that refuses leaves the row, and says so.
    listsRefused = true;
    whiteList->table->selectRow(0);
    whiteList->btnRemove->click();
    EXPECT_EQ(whiteList->table->rowCount(), 2);
    EXPECT_EQ(messages().back(), T::notAuthorized);
    listsRefused = false;
    whiteList->table->selectRow(0);
    whiteList->btnRemove->click();
    EXPECT_EQ(whiteList->table->rowCount(), 1);
    EXPECT_EQ(platform->files().read(listsPath, 1 << 20).bytes,
              "SanDisk Ultra Media:30__white\nGeneric Flash Disk Media:16__black\n");
    whiteList->table->selectRow(0);
    whiteList->btnRemove->click();
    EXPECT_FALSE(whiteList->btnRemove->isEnabled());
    whiteList->blackTable->selectRow(0);
    whiteList->btnRemoveBlack->click();
    EXPECT_EQ(whiteList->blackTable->rowCount(), 0);

    // Another process adds a disk: the page follows.
    platform->files().append(listsPath, "Generic Flash Disk Media:16__white\n");
    settle(2);
    EXPECT_EQ(whiteList->table->rowCount(), 1);
    EXPECT_TRUE(whiteList->btnRemove->isEnabled());
}

TEST_F(USBBlockerWindowsTest, MountingAnUnlistedDiskAsksForThePasswordAndWhiteListsIt) {
    turnOn("right");
    int mounts = 0;
    usb->checkWhiteListBeforeMounting("disk5s1", [&] { ++mounts; });
    EXPECT_EQ(mounts, 1);
    EXPECT_EQ(usb->usbEntryWindowController(), nullptr);

    usb->checkWhiteListBeforeMounting("disk7s1", [&] { ++mounts; });
    USBBlockerSettingEntryWindowController* entry = usb->usbEntryWindowController();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->tips, std::string(DMTr::text(T::whiteListTip)));
    type(entry->editPassword, "right");
    entry->btnOk->click();
    settle();
    EXPECT_EQ(mounts, 1);
    EXPECT_TRUE(lists->isInWhiteList("Generic Flash Disk Media"));
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(DMTr::text(T::whiteListAdded))});

    // Where the daemon refuses (the lists file is root's), the failure is shown, never success.
    listsRefused = true;
    usb->checkWhiteListBeforeMounting("disk4s1", [&] { ++mounts; });
    type(usb->usbEntryWindowController()->editPassword, "right");
    usb->usbEntryWindowController()->btnOk->click();
    settle();
    EXPECT_EQ(messages().back(), T::notAuthorized);
    std::vector<std::string> said = messages();
    EXPECT_EQ(std::count(said.begin(), said.end(), std::string(DMTr::text(T::whiteListAdded))), 1);
    listsRefused = false;

    // The drive views' guard: a disk known not to be listed is refused with the alert.
    EXPECT_FALSE(usb->driveMayLoad("disk4s1"));
    EXPECT_EQ(messages().back(), std::string(DMTr::text(T::driveGuard)));
    EXPECT_TRUE(usb->driveMayLoad("disk7s1"));
    daemon->usbWarden().set(false, 1, std::string("right"));
    EXPECT_TRUE(usb->driveMayLoad("disk4s1"));
}

// Before a clone writes over a disk while the blocker is on, the disk joins the white list
// behind the password; the sidebar offers "Add whitelist" only for a disk not listed yet.
TEST_F(USBBlockerWindowsTest, ACloneDestinationIsWhiteListedFirstAndTheSidebarOffersOnlyUnlistedDisks) {
    int clones = 0;
    usb->whiteListBeforeCloning("disk7s1", [&] { ++clones; });
    EXPECT_EQ(clones, 1) << "off: nothing to ask";
    EXPECT_FALSE(usb->offersAddWhiteList("disk7s1"));

    turnOn("right");
    EXPECT_TRUE(usb->offersAddWhiteList("disk7s1"));
    EXPECT_FALSE(usb->offersAddWhiteList("disk5s1")) << "listed already";
    usb->whiteListBeforeCloning("disk5s1", [&] { ++clones; });
    EXPECT_EQ(clones, 2);

    // Refused by the daemon: the clone never starts.
    listsRefused = true;
    usb->whiteListBeforeCloning("disk7s1", [&] { ++clones; });
    ASSERT_NE(usb->usbEntryWindowController(), nullptr);
    EXPECT_EQ(usb->usbEntryWindowController()->tips, std::string(DMTr::text(T::whiteListTip)));
    type(usb->usbEntryWindowController()->editPassword, "right");
    usb->usbEntryWindowController()->btnOk->click();
    settle();
    EXPECT_EQ(clones, 2);
    EXPECT_EQ(messages().back(), T::notAuthorized);

    listsRefused = false;
    usb->whiteListBeforeCloning("disk7s1", [&] { ++clones; });
    usb->usbEntryWindowController()->btnCancel->click();
    settle();
    EXPECT_EQ(clones, 2) << "cancelled";
    usb->whiteListBeforeCloning("disk7s1", [&] { ++clones; });
    type(usb->usbEntryWindowController()->editPassword, "right");
    usb->usbEntryWindowController()->btnOk->click();
    settle();
    EXPECT_EQ(clones, 3);
    EXPECT_TRUE(lists->isInWhiteList("Generic Flash Disk Media"));
    EXPECT_FALSE(usb->offersAddWhiteList("disk7s1"));
}

// Drive work that only counts what the dispatcher asked for.
class CountingOperations final : public test::StickOperations {
public:
    int open(const Drive&) override {
        ++opens;
        return 0;
    }
    int mount(const Drive&) override {
        ++mounts;
        return 0;
    }
    std::atomic<int> opens{0};
    std::atomic<int> mounts{0};
};

TEST_F(USBBlockerWindowsTest, TheWindowOpensOnlyWhiteListedDrivesWhileTheBlockerIsOn) {
    auto operations = std::make_shared<CountingOperations>();
    auto windows = std::make_shared<DMFeatureWindowFactory>(operations, presenter);
    auto actions = std::make_shared<DMDriveActionManager>(operations, presenter, windows);
    usb->guardDrives(*actions, *windows->deviceCloneFlow());
    auto listed = DMLocalDriveObject::create("disk5s1");
    auto unlisted = DMLocalDriveObject::create("disk4s1");
    auto openBoth = [&] {
        actions->perform(DMDriveAction::open, unlisted, mainWindow.get());
        actions->perform(DMDriveAction::open, listed, mainWindow.get());
        settle();
    };

    openBoth();
    EXPECT_EQ(operations->opens, 2);
    EXPECT_TRUE(messages().empty());

    turnOn();
    openBoth();
    EXPECT_EQ(operations->opens, 3);
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(DMTr::text(T::driveGuard))});
    // Drive clean is refused the same way, before anything is scanned.
    actions->perform(DMDriveAction::driveClean, unlisted, mainWindow.get());
    settle();
    EXPECT_EQ(messages().size(), 2u);
    EXPECT_EQ(windows->driverClearWindowController(), nullptr);
    // A mount of the listed disk goes on; the unlisted one asks for the password instead.
    actions->perform(DMDriveAction::mount, listed, mainWindow.get());
    actions->perform(DMDriveAction::mount, unlisted, mainWindow.get());
    settle();
    EXPECT_EQ(operations->mounts, 1);
    EXPECT_NE(usb->usbEntryWindowController(), nullptr);
}

// Screenshots of the settings window's pages and the stop window, light and dark.
TEST_F(USBBlockerWindowsTest, Screenshots) {
    const char* folder = std::getenv("HARBORMIND_SCREENSHOT_DIR");
    if (folder == nullptr) {
        GTEST_SKIP() << "HARBORMIND_SCREENSHOT_DIR names the folder for screenshots";
    }
    turnOn("right");
    platform->files().setFile(listsPath, "WD Elements 25A2 Media:1000__white\nSanDisk Ultra Media:30__white\n"
                                         "Generic Flash Disk Media:16__black\n");
    lists->load();
    test::ScreenshotLook look;
    for (bool dark : {false, true}) {
        look.use(dark);
        const char* suffix = dark ? "-dark" : "";
        USBBLockerWindowController* window = usb->usbBLockerWindowController();
        window->setPassword("right");
        window->show();
        const char* names[] = {"usb-settings-general", "usb-settings-password", "usb-settings-whitelist"};
        for (int row = 0; row < 3; ++row) {
            window->select(row);
            settle(0.1);
            window->grab().save(QDir(folder).filePath(QString::fromUtf8(names[row]) + suffix + ".png"));
        }
        window->hide();
        usb->startUSBBlockerWithSender(1);
        USBBlockerStopWindowController* stop = usb->usbBlockerStopwindowController();
        type(stop->editPassword, "wrong");
        stop->btnOk->click();
        settle(0.6);
        stop->grab().save(QDir(folder).filePath(QStringLiteral("usb-stop") + suffix + ".png"));
        stop->btnCancel->click();
        settle();
    }
}

}  // namespace
}  // namespace harbormind
