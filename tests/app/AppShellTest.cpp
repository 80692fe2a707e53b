#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <atomic>
#include <cstdlib>

#include "app/shell/AppDelegate.h"
#include "ScreenshotLook.h"
#include "app/install/DMDriverInstaller.h"
#include "app/install/DMPermissionGuideWindow.h"
#include "app/common/DMTexts.h"
#include "app/install/DMUninstaller.h"
#include "app/shell/DMWindowController.h"
#include "AppTestSupport.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "platform/sim/SimPackageManager.h"
#include "platform/sim/SimPasteboard.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimUserData.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"
#include "xpc/XPCTransport.h"

namespace harbormind {
namespace {

// The application delegate and its flows on the simulated machine of usb-disks.json.
class AppShellTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        SimLoadResult loaded = SimPlatform::load(test::scenarioPath("usb-disks.json"));
        ASSERT_TRUE(loaded) << loaded.error;
        platform = loaded.platform;
        Platform::setCurrent(platform);
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(
            std::make_shared<InProcessDaemon>(platform->daemonAnswers())));
        presenter = std::make_shared<test::RecordingPresenter>();
    }
    void TearDown() override {
        settle();
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }
    void settle(double limit = 1.0) {
        QApplication::processEvents();
        Dispatch::main().runUntil([] { return false; }, seconds(limit));
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static std::vector<std::string> texts(QMenu* menu) {
        std::vector<std::string> result;
        for (QAction* action : menu->actions()) {
            result.push_back(action->isSeparator() ? "-" : action->text().toStdString());
        }
        return result;
    }
    // Pictures for docs/screenshots, made when HARBORMIND_SCREENSHOT_DIR names a folder.
    static bool screenshots() { return std::getenv("HARBORMIND_SCREENSHOT_DIR") != nullptr; }
    static void save(QWidget* widget, const std::string& name) {
        const QString folder = QString::fromLocal8Bit(std::getenv("HARBORMIND_SCREENSHOT_DIR"));
        QDir().mkpath(folder);
        EXPECT_TRUE(widget->grab().save(folder + "/" + QString::fromStdString(name)));
    }

    std::shared_ptr<SimPlatform> platform;
    std::shared_ptr<test::RecordingPresenter> presenter;
};

// ---- Status item ----

TEST_F(AppShellTest, TheStatusItemExistsOnlyWithATrayHoldsOnlyQuitAndALeftClickShowsTheWindow) {
    AppDelegate delegate;
    delegate.setTrayAvailable([] { return false; });
    delegate.createStatusItem();
    EXPECT_EQ(delegate.statusItem(), nullptr);
    // Without a tray nothing could bring a hidden window back: closing it quits.
    EXPECT_TRUE(QApplication::quitOnLastWindowClosed());

    delegate.setTrayAvailable([] { return true; });
    delegate.createStatusItem();
    QSystemTrayIcon* item = delegate.statusItem();
    ASSERT_NE(item, nullptr);
    delegate.createStatusItem();
    EXPECT_EQ(delegate.statusItem(), item);
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
    EXPECT_EQ(delegate.statusItemMenu()->title().toStdString(), "menu");
    EXPECT_EQ(texts(delegate.statusItemMenu()), std::vector<std::string>{"Quit"});

    // A right click rebuilds the one-item menu and leaves the window alone.
    delegate.statusItem_clickWithSender(true);
    EXPECT_EQ(texts(delegate.statusItemMenu()), std::vector<std::string>{"Quit"});
    QMainWindow* window = delegate.mainWindowController()->window();
    EXPECT_FALSE(window->isVisible());
    delegate.statusItem_clickWithSender(false);
    EXPECT_TRUE(window->isVisible());

    if (screenshots()) {
        delegate.statusItemMenu()->popup(QPoint(0, 0));
        settle(0.1);
        save(delegate.statusItemMenu(), "status-menu.png");
        delegate.statusItemMenu()->hide();
    }
    delegate.removeStatusItem();
    EXPECT_EQ(delegate.statusItem(), nullptr);
    EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
}

// ---- Start-up ----

TEST_F(AppShellTest, TheInstallerRunOpensTheFeedbackPageAndEndsWithoutWindowOrManagers) {
    AppDelegate delegate;
    DMLaunchOptions options;
    options.install = true;
    EXPECT_EQ(delegate.finishLaunching(options), 0);
    EXPECT_EQ(delegate.localDriveManager(), nullptr);
    EXPECT_EQ(platform->openedURLs(), std::vector<std::string>{AppDelegate::installFeedbackURL});
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(widget->isVisible() && qobject_cast<QMainWindow*>(widget) != nullptr);
    }
}

TEST_F(AppShellTest, AWordOnTheNamedBoardKeepsTheWindowHiddenOnceAndIsCleared) {
    platform->simPasteboard().setString(AppDelegate::namedPasteboard, "started by the updater");
    {
        AppDelegate delegate;
        delegate.setTrayAvailable([] { return false; });
        ASSERT_EQ(delegate.finishLaunching(DMLaunchOptions{}), -1);
        settle();
        EXPECT_NE(delegate.localDriveManager(), nullptr);
        EXPECT_FALSE(delegate.mainWindowController()->window()->isVisible());
        EXPECT_FALSE(platform->simPasteboard().string(AppDelegate::namedPasteboard));
        // Started again while running (or its task-bar entry clicked): the window comes.
        EXPECT_TRUE(delegate.applicationShouldHandleReopen());
        EXPECT_TRUE(delegate.mainWindowController()->window()->isVisible());
    }
    settle();
    AppDelegate next;
    next.setTrayAvailable([] { return false; });
    ASSERT_EQ(next.finishLaunching(DMLaunchOptions{}), -1);
    settle();
    EXPECT_TRUE(next.mainWindowController()->window()->isVisible());
    next.about_clickWithSender();
    QMessageBox* about = next.aboutWindowController();
    ASSERT_NE(about, nullptr);
    EXPECT_NE(about->text().indexOf(QStringLiteral("Kestrane Harbormind")), -1);
    EXPECT_EQ(about->informativeText().toStdString(), AppDelegate::version);
    // A second click raises the same window.
    next.about_clickWithSender();
    EXPECT_EQ(next.aboutWindowController(), about);
    if (screenshots()) {
        settle(0.1);
        save(about, "about.png");
    }
    about->close();

    // The corner menu's "More": debug logging switches and shows its state; "Uninstall" asks,
    // and "No" changes nothing.
    DMWindowController& controller = *next.mainWindowController();
    auto more = [&controller] {
        controller.rebuildCornerMenu();
        for (QAction* action : controller.cornerMenu()->actions()) {
            if (action->menu() != nullptr && action->text() == QStringLiteral("More")) {
                return action->menu();
            }
        }
        return static_cast<QMenu*>(nullptr);
    };
    ASSERT_NE(more(), nullptr);
    EXPECT_EQ(texts(more()),
              (std::vector<std::string>{"Check for Updates...", "-", "Enable Debug Logging", "Uninstall"}));
    const bool logging = next.isDebugLoggingEnabled();
    more()->actions()[2]->trigger();
    EXPECT_EQ(next.isDebugLoggingEnabled(), !logging);
    EXPECT_EQ(more()->actions()[2]->isChecked(), !logging);
    more()->actions()[2]->trigger();
    // The whole corner menu, in its order (the USB submenu while the blocker is off).
    EXPECT_EQ(texts(controller.cornerMenu()),
              (std::vector<std::string>{"Preferences...", "-", "USB Warden", "-", "Attach Disk Image...",
                                        "Create Disk Image...", "Restore Disk Image...", "-", "About", "Help", "-",
                                        "More", "-", "Quit"}));
    if (screenshots()) {
        controller.cornerMenu()->popup(QPoint(0, 0));
        settle(0.1);
        save(controller.cornerMenu(), "corner-menu.png");
        controller.cornerMenu()->hide();
    }

    more()->actions()[3]->trigger();
    settle(0.1);
    QMessageBox* question = nullptr;
    for (QMessageBox* box : controller.window()->findChildren<QMessageBox*>()) {
        if (box->isVisible() && box->text() == QStringLiteral("Uninstall")) {
            question = box;
        }
    }
    ASSERT_NE(question, nullptr);
    // "No" is what Return answers; the title bar carries the application's name, not the question.
    EXPECT_TRUE(question->informativeText().startsWith(
        QStringLiteral("Are you sure you want to uninstall this software and all components?")));
    EXPECT_TRUE(question->informativeText().contains(QStringLiteral("saved network drives")));
    ASSERT_NE(question->defaultButton(), nullptr);
    EXPECT_EQ(question->defaultButton()->text(), QStringLiteral("No"));
    EXPECT_EQ(question->windowTitle(), QStringLiteral("Kestrane Harbormind"));
    for (QAbstractButton* button : question->buttons()) {
        if (button->text() == QStringLiteral("No")) {
            button->click();
        }
    }
    settle();
    EXPECT_EQ(platform->simUserData().removals(), 0);
}

TEST_F(AppShellTest, HelpOpensTheHelpPageWithLanguageEditionAndVersion) {
    AppDelegate delegate;
    delegate.help_clickWithSender();
    EXPECT_EQ(platform->openedURLs(),
              std::vector<std::string>{std::string(AppDelegate::helpURL) +
                                       "?lang=en&edition=standard&version=" + AppDelegate::version});
}

// ---- Uninstall ----

TEST_F(AppShellTest, UninstallAsksFirstThenRemovesTheUsersFilesThePackageAndEnds) {
    SimUserData& userData = platform->simUserData();
    SimPackageManager& packages = platform->simPackageManager();
    int terminated = 0;
    DMUninstaller uninstaller(presenter, &userData, &packages, [&] { ++terminated; });
    uninstaller.setAgentStop([] { return true; });
    uninstaller.setSavedNetworkDrives([] { return std::vector<std::string>{"Office", "NAS"}; });
    auto run = [&](int answer) {
        presenter->answers = {answer};
        uninstaller.start(nullptr);
        settle();
    };

    run(1);
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title, "Uninstall");
    EXPECT_EQ(presenter->shown[0].alert.text,
              "Are you sure you want to uninstall this software and all components?");
    EXPECT_EQ(presenter->shown[0].alert.buttons, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(presenter->shown[0].alert.escapeButton, std::optional<std::size_t>(1));
    EXPECT_EQ(presenter->shown[0].alert.defaultButton, std::optional<std::size_t>(1));
    EXPECT_NE(presenter->shown[0].alert.informativeText.find("Saved network drives: Office, NAS"), std::string::npos)
        << presenter->shown[0].alert.informativeText;
    EXPECT_EQ(userData.removals(), 0);
    EXPECT_EQ(terminated, 0);

    // Not installed as a package: the files go and the application ends.
    run(0);
    EXPECT_EQ(userData.removals(), 1);
    EXPECT_TRUE(packages.requests().empty());
    EXPECT_EQ(terminated, 1);

    packages.setApplicationPackage("harbormind");
    run(0);
    EXPECT_EQ(packages.requests(), std::vector<std::string>{"remove harbormind"});
    EXPECT_EQ(terminated, 2);

    // Files that could not all be removed stop it there.
    userData.setSucceeds(false);
    run(0);
    EXPECT_EQ(userData.removals(), 3);
    EXPECT_EQ(packages.requests().size(), 1u);
    EXPECT_EQ(terminated, 2);
}

TEST_F(AppShellTest, UninstallStopsTheUSBAgentFirstAndSaysWhenThePackageStays) {
    SimUserData& userData = platform->simUserData();
    SimPackageManager& packages = platform->simPackageManager();
    packages.setApplicationPackage("harbormind");
    int terminated = 0;
    bool agentStops = false;
    std::vector<std::string> order;
    DMUninstaller uninstaller(presenter, &userData, &packages, [&] { ++terminated; });
    uninstaller.setAgentStop([&] {
        order.push_back("agent");
        return agentStops;
    });
    presenter->answers = {0};
    uninstaller.start(nullptr);
    settle();
    // The agent runs on: nothing of the user's is touched.
    EXPECT_EQ(order, std::vector<std::string>{"agent"});
    EXPECT_EQ(userData.removals(), 0);
    EXPECT_TRUE(packages.requests().empty());
    ASSERT_EQ(presenter->shown.size(), 2u);
    EXPECT_EQ(presenter->shown[1].alert.text, DMTexts::uninstallAgentRunning);

    agentStops = true;
    packages.setSucceeds(false);
    presenter->answers = {0};
    uninstaller.start(nullptr);
    settle();
    EXPECT_EQ(userData.removals(), 1);
    EXPECT_EQ(packages.requests(), std::vector<std::string>{"remove harbormind"});
    EXPECT_EQ(terminated, 0) << "quit although the package stayed";
    EXPECT_EQ(presenter->shown.back().alert.text.rfind(DMTexts::uninstallPackageFailed, 0), 0u);
}

// ---- Driver installation and the guide ----

class DriverInstallerTest : public AppShellTest {
protected:
    void SetUp() override {
        AppShellTest::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(900, 600);
        DMDriverInstaller::Services services;
        services.presenter = presenter;
        services.packages = &platform->simPackageManager();
        services.driverInstalled = [this] { return driverInstalled.load(); };
        services.helperFailure = [this] { return helperFailure; };
        services.window = [this] { return window.get(); };
        installer = std::make_unique<DMDriverInstaller>(services);
        platform->simPackageManager().setOnInstall(
            [this](const std::string& package) { driverInstalled = package == "ntfs-3g"; });
    }
    void TearDown() override {
        installer.reset();
        window.reset();
        AppShellTest::TearDown();
    }
    QStringList guideHeadings() const {
        return installer->guide() != nullptr ? installer->guide()->headings() : QStringList{};
    }

    std::atomic<bool> driverInstalled{false};
    std::optional<std::string> helperFailure;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<DMDriverInstaller> installer;
};

TEST_F(DriverInstallerTest, FromTheMenuAnInstalledDriverIsReportedAndAFailedOneLeadsToTheGuide) {
    installer->installFromMenu();
    settle();
    EXPECT_EQ(platform->simPackageManager().requests(), std::vector<std::string>{"install ntfs-3g"});
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title, "Installed");
    EXPECT_EQ(presenter->shown[0].alert.text, "The driver was installed.");
    EXPECT_EQ(installer->guide(), nullptr);

    // Already there: nothing to install, the same report.
    installer->installFromMenu();
    settle();
    EXPECT_EQ(platform->simPackageManager().requests().size(), 1u);
    EXPECT_EQ(presenter->shown.size(), 2u);

    // The prompt refused: the guide names the driver and offers to install it.
    driverInstalled = false;
    platform->simPackageManager().setSucceeds(false);
    installer->installFromMenu();
    settle();
    EXPECT_EQ(presenter->shown.size(), 2u);
    EXPECT_EQ(guideHeadings(), QStringList{"NTFS driver (ntfs-3g)"});
    EXPECT_TRUE(installer->guide()->btnInstall()->isVisibleTo(installer->guide()));
    // Install from the guide, this time granted: the guide says everything is in place.
    platform->simPackageManager().setSucceeds(true);
    installer->guide()->btnInstall()->click();
    settle();
    EXPECT_TRUE(installer->guide()->headings().isEmpty());
    EXPECT_FALSE(installer->guide()->shown().any());
    EXPECT_FALSE(installer->guide()->btnInstall()->isVisibleTo(installer->guide()));
}

TEST_F(DriverInstallerTest, AMissingHelperServiceIsExplainedWithTheReasonItCouldNotBeReached) {
    driverInstalled = true;
    helperFailure = "org.freedesktop.DBus.Error.ServiceUnknown";
    installer->installFromMenu();
    settle();
    EXPECT_TRUE(presenter->shown.empty());
    EXPECT_TRUE(platform->simPackageManager().requests().empty());
    EXPECT_EQ(guideHeadings(), QStringList{"Helper service (drivemanagerd)"});
    EXPECT_FALSE(installer->guide()->btnInstall()->isVisibleTo(installer->guide()));

    // Both missing: one guide, both pieces, and a new request replaces the open guide.
    driverInstalled = false;
    platform->simPackageManager().setSucceeds(false);
    QPointer<DMPermissionGuideWindow> first = installer->guide();
    installer->showGuide();
    settle();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(guideHeadings(), (QStringList{"NTFS driver (ntfs-3g)", "Helper service (drivemanagerd)"}));
    if (screenshots()) {
        installer->guide()->adjustSize();
        save(installer->guide(), "setup-guide.png");
        test::ScreenshotLook look;
        look.use(true);
        installer->showGuide();
        settle(0.1);
        installer->guide()->adjustSize();
        save(installer->guide(), "setup-guide-dark.png");
    }
}

TEST_F(DriverInstallerTest, FromADriveViewAFailedInstallOffersTheManualWayAndASuccessSaysNothing) {
    platform->simPackageManager().setSucceeds(false);
    int done = 0;
    installer->installFromDriveView([&] { ++done; });
    settle();
    EXPECT_EQ(done, 1);
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title, "The system extension needs to be installed manually");
    EXPECT_EQ(
        presenter->shown[0].alert.text,
        "Failed to install the system extension automatically. Please try to install the system extension "
        "manually.");
    EXPECT_EQ(presenter->shown[0].alert.buttons, (std::vector<std::string>{"Install manually", "Cancel"}));
    EXPECT_EQ(installer->guide(), nullptr);
    presenter->answer(0, 0);
    settle();
    EXPECT_EQ(guideHeadings(), QStringList{"NTFS driver (ntfs-3g)"});

    platform->simPackageManager().setSucceeds(true);
    installer->guide()->close();
    settle();
    installer->installFromDriveView([&] { ++done; });
    settle();
    EXPECT_EQ(done, 2);
    EXPECT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(installer->guide(), nullptr);
}

}  // namespace
}  // namespace harbormind
