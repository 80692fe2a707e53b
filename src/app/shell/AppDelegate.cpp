#include "app/shell/AppDelegate.h"

#include "app/common/DMTr.h"
#include "app/disktools/DMDriveHealthWatch.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>
#include <iostream>

#include "app/shell/DMAppearanceController.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/install/DMDriverInstaller.h"
#include "app/shell/DMDarkPalette.h"
#include "app/shell/DMDarkStyle.h"
#include "app/drives/DMDriveManagerOperations.h"
#include "app/drives/DMDriveOperations.h"
#include "app/drives/DMDriveSnapshotLoader.h"
#include "app/common/DMImages.h"
#include "app/common/DMMainQueueBridge.h"
#include "app/notifications/DMNotifyManager.h"
#include "app/common/DMMessageBoxPresenter.h"
#include "app/shell/DMPlatformSetup.h"
#include "app/shell/DMFeatureWindowFactory.h"
#include "app/shell/DMShellEffects.h"
#include "app/shell/DMSidebarViewController.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "app/install/DMUninstaller.h"
#include "app/update/DMUpdatePresenter.h"
#include "app/shell/DMWindowController.h"
#include "app/preferences/BLPreferenceWndController.h"
#include "app/usb/DMUSBBlockerControl.h"
#include "config/DMConfigurationManager.h"
#include "drivemodel/DMDriveManager.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "network/DMNetworkDriveManager.h"
#include "network/DMNetworkDriveObject.h"
#include "platform/Pasteboard.h"
#include "platform/Platform.h"
#include "platform/Workspace.h"
#include "update/MacUpdateManager.h"
#include "update/MacUpdateTexts.h"
#include "support/Log.h"

namespace harbormind {
namespace {

// The full-disk-access guide, in short: what to do, a button that opens the settings, and
// "Finish". Answers whether access is granted when the guide closes.
bool runFullDiskAccessGuide(DMLocalDriveManager& manager) {
    for (;;) {
        QMessageBox guide;
        guide.setWindowTitle(DMTr::qtext("Grant Full Disk Access"));
        guide.setText(DMTr::qtext("Grant Full Disk Access"));
        guide.setInformativeText(DMTr::qtext("To start managing your drives, you'll need to do this once."));
        QPushButton* open = guide.addButton(DMTr::qtext("Open System Preferences"), QMessageBox::ActionRole);
        QPushButton* finish = guide.addButton(DMTr::qtext("Finish"), QMessageBox::AcceptRole);
        guide.exec();
        if (guide.clickedButton() == open) {
            manager.openFullDiskAccessSettings();
            continue;
        }
        if (guide.clickedButton() != finish || manager.hasFullDiskAccess()) {
            return manager.hasFullDiskAccess();
        }
        QMessageBox::warning(nullptr, DMTr::qtext("Please complete all steps"),
                             DMTr::qtext("Please follow the steps below to complete the authorization"));
    }
}

}  // namespace

AppDelegate::AppDelegate() : trayAvailable_([] { return QSystemTrayIcon::isSystemTrayAvailable(); }) {}

AppDelegate::~AppDelegate() {
    DMDriveManager::shared().setDelegate({});
    if (localDriveManager_) {
        DMDriveManager::shared().unregisterManager(localDriveManager_);
    }
    if (networkDriveManager_) {
        DMDriveManager::shared().unregisterManager(networkDriveManager_);
    }
    if (configurationManager_ != nullptr) {
        configurationManager_->setEffects(nullptr);
    }
    removeStatusItem();
    preferenceWndController_.reset();
    if (updatePresenter_) {
        MacUpdateManager::sharedManager().setPresenter(nullptr);
    }
    driverInstaller_.reset();
    mainWindowController_.reset();
    DMMainQueueBridge::uninstall();
}

int AppDelegate::applicationDidFinishLaunching(const QStringList& arguments) {
    std::vector<std::string> words;
    for (const QString& argument : arguments) {
        words.push_back(argument.toStdString());
    }
    std::string error;
    std::optional<DMLaunchOptions> options = DMLaunchOptions::parse(words, error);
    if (!options) {
        std::cerr << "harbormind: " << error << "\n" << DMLaunchOptions::usage() << "\n";
        return 2;
    }
    options_ = *options;
    if (options_.help) {
        std::cout << DMLaunchOptions::helpText() << "\n";
        return 0;
    }
    if (!DMPlatformSetup::install(options_, error)) {
        std::cerr << "harbormind: " << error << "\n";
        return 1;
    }
    return finishLaunching(options_);
}

int AppDelegate::finishLaunching(const DMLaunchOptions& options) {
    options_ = options;
    DMMainQueueBridge::install();
    windowPlacement_ = DMWindowPlacement::install([this]() -> QWidget* {
        return mainWindowController_ ? mainWindowController_->window() : nullptr;
    });
    QApplication::setApplicationName(QString::fromUtf8(DMTexts::productName));
    QApplication::setApplicationVersion(QString::fromUtf8(version));
    QApplication::setWindowIcon(DMImages::icon("harbormind"));
    // Ties the windows to the installed desktop entry (its name and icon on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kestrane.harbormind"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (options_.palette == "dark") {
        QApplication::setStyle(new DMDarkStyle);
        QApplication::setPalette(DMDarkPalette::make());
    }

    // 1. Started by the installer: say thank you and end. There is no analytics service;
    // the event goes to the log.
    if (options_.install) {
        Platform::current().workspace().openURL(installFeedbackURL);
        Log::info("install_success");
        return 0;
    }

    presenter_ = std::make_shared<DMMessageBoxPresenter>();
    configurationManager_ = &DMConfigurationManager::shared();
    effects_ = std::make_shared<DMShellEffects>(DMShellEffects::Shell{
        [this]() -> QWidget* { return mainWindowController()->window(); },
        [this] { createStatusItem(); }, [this] { removeStatusItem(); }, [this] { return appearance(); }});
    // A picture taken with `--palette dark` keeps that look whatever the preferences say.
    if (options_.palette.empty()) {
        desktopAppearance_ = DMPlatformSetup::desktopAppearance(options_);
        appearance_ = std::make_unique<DMAppearanceController>(desktopAppearance_.get());
        appearance_->start(configurationManager_->appearance());
    }

    // 2. The main window and the local drive manager that reports to it.
    std::shared_ptr<DMWindowController> controller = mainWindowController();
    localDriveManager_ = DMLocalDriveManager::create(controller);

    // 3, 4. The permission gate, on a desktop that has such a permission at all (it offers a
    // settings pane to grant it); elsewhere access is simply granted.
    const bool desktopHasPermission = !Platform::current().workspace().fullDiskAccessSettingsURL().empty();
    if (desktopHasPermission && !localDriveManager_->hasFullDiskAccess() &&
        !runFullDiskAccessGuide(*localDriveManager_)) {
        return 1;
    }

    // 6. The facade's delegate and managers.
    DMDriveManager::shared().setDelegate(controller);
    DMDriveManager::shared().registerManager(localDriveManager_, "");
    networkDriveManager_ = DMNetworkDriveManager::create(controller);
    DMDriveManager::shared().registerManager(networkDriveManager_, "");
    configurationManager_->setEffects(effects_);
    // Sleep and wake run the automatic actions chosen in the preferences.
    controller->driveActionManager()->startEventMonitor(Platform::current().sleepWake(), *configurationManager_);
    controller->setNotifyManager(&DMNotifyManager::shared());
    DMDriveHealthWatch::start(localDriveManager_);

    // "USB Warden": its settings window is made now, and it checks the white list before
    // a local drive is mounted while it is on.
    startUSBBlocker(*controller);

    // 7, 8. Task-bar presence and the status item.
    effects_->setActivationPolicy(configurationManager_->dockIcon() ? DMActivationPolicy::Regular
                                                                    : DMActivationPolicy::Accessory);
    if (configurationManager_->statusBarIcon()) {
        createStatusItem();
    }
    updateQuitOnLastWindowClosed();

    // 5, 9. Bring the main window to the front, unless another program that started the
    // application left a word on the named board.
    bool startedByProgram = false;
    if (Pasteboard* board = Platform::current().pasteboard()) {
        startedByProgram = board->string(namedPasteboard).has_value();
        board->clear(namedPasteboard);
    }
    if (!startedByProgram) {
        Log::info("launched by_user");
        controller->showWindow();
    }
    if (!options_.screenshot.empty()) {
        takeScreenshot();
        return -1;
    }

    // 10. The automatic update check: silent when nothing is new.
    startUpdateCheck(false);
    return -1;
}

void AppDelegate::startUSBBlocker(DMWindowController& controller) {
    QPointer<QMainWindow> window(controller.window());
    usbBlocker_ = std::make_unique<DMUSBBlockerControl>(DMUSBBlockerControl::platformServices(presenter_),
                                                        [window] { return window.data(); });
    usbBlocker_->guardDrives(*controller.driveActionManager(), *controller.driveWindows()->deviceCloneFlow());
    DMUSBBlockerControl* usb = usbBlocker_.get();
    controller.sidebarViewController()->setWhiteListOffer(
        {[usb](const auto& drive) { return usb->offersWhiteListFor(drive); },
         [usb](const auto& drive) { usb->addWhiteList(drive->identifier()); }});
}

bool AppDelegate::isUSBBlockerOn() const {
    return usbBlocker_ && usbBlocker_->isOn();
}

void AppDelegate::startUSBBlockerWithSender(int tag) {
    if (usbBlocker_) {
        usbBlocker_->startUSBBlockerWithSender(tag);
    }
}

void AppDelegate::settingUSBBlokcerWithSender() {
    if (usbBlocker_) {
        usbBlocker_->settingUSBBlokcerWithSender();
    }
}

std::shared_ptr<DMWindowController> AppDelegate::mainWindowController() {
    if (!mainWindowController_) {
        mainWindowController_ = DMWindowController::create(
            std::make_shared<DMDriveManagerOperations>(configurationManager_), presenter_, this);
    }
    return mainWindowController_;
}

bool AppDelegate::applicationShouldHandleReopen() {
    mainWindowController()->showWindow();
    return true;
}

void AppDelegate::createStatusItem() {
    if (statusItem_ != nullptr) {
        return;
    }
    if (!trayAvailable_ || !trayAvailable_()) {
        Log::info("The desktop shows no status items: the window is the way in");
        return;
    }
    statusItemMenu_ = new QMenu(QStringLiteral("menu"));
    statusItem_ = new QSystemTrayIcon(DMImages::icon("status_icon"));
    statusItem_->setToolTip(QString::fromUtf8(DMTr::text(DMTexts::productName)));
    statusItem_->setContextMenu(statusItemMenu_);
    QObject::connect(statusItemMenu_, &QMenu::aboutToShow, statusItemMenu_, [this] { rebuildStatusMenu(); });
    QObject::connect(statusItem_, &QSystemTrayIcon::activated, statusItem_,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         statusItem_clickWithSender(reason == QSystemTrayIcon::Context);
                     });
    rebuildStatusMenu();
    statusItem_->show();
    updateQuitOnLastWindowClosed();
}

void AppDelegate::updateQuitOnLastWindowClosed() {
    // Without a tray item there is no way back to a hidden window: closing it quits.
    const bool reachable = statusItem_ != nullptr && trayAvailable_ && trayAvailable_();
    QApplication::setQuitOnLastWindowClosed(!reachable);
}

void AppDelegate::removeStatusItem() {
    if (statusItem_ == nullptr) {
        return;
    }
    statusItem_->hide();
    delete statusItem_;
    statusItem_ = nullptr;
    delete statusItemMenu_;
    statusItemMenu_ = nullptr;
    updateQuitOnLastWindowClosed();
}

void AppDelegate::rebuildStatusMenu() {
    if (statusItemMenu_ == nullptr) {
        return;
    }
    statusItemMenu_->clear();
    QObject::connect(statusItemMenu_->addAction(QString::fromUtf8(DMTr::text(DMTexts::quit))), &QAction::triggered,
                     statusItemMenu_, [this] { quit_clickWithSender(); });
}

void AppDelegate::statusItem_clickWithSender(bool rightClick) {
    rebuildStatusMenu();
    if (rightClick) {
        // The tray shows the context menu itself.
        return;
    }
    mainWindowController()->showWindow();
}

void AppDelegate::about_clickWithSender() {
    if (aboutWindowController_) {
        aboutWindowController_->raise();
        aboutWindowController_->activateWindow();
        return;
    }
    auto* about = new QMessageBox(mainWindowController()->window());
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowTitle(QString::fromUtf8(DMTr::text(DMTexts::about)));
    about->setIconPixmap(DMImages::icon("harbormind").pixmap(64, 64));
    about->setText(QStringLiteral("<b>%1</b>").arg(QString::fromUtf8(DMTr::text(DMTexts::productName))));
    about->setInformativeText(QString::fromUtf8(version));
    aboutWindowController_ = about;
    about->open();
}

void AppDelegate::help_clickWithSender() {
    // Language, edition and version, in that order.
    const std::string query = DMTextFormat::withTexts("?lang=%@&edition=%@&version=%@", {"en", "standard", version});
    const std::string url = std::string(helpURL) + query;
    if (!Platform::current().workspace().openURL(url) && presenter_) {
        presenter_->present({DMTr::text(DMTexts::helpFailedTitle), DMTextFormat::withText(DMTr::text(DMTexts::helpFailedTextFormat), url),
                             {DMTr::text(DMTexts::okButton)}},
                            mainWindowController() ? mainWindowController()->window() : nullptr, nullptr);
    }
}

void AppDelegate::checkForUpdates_clickWithSender() {
    startUpdateCheck(true);
}

void AppDelegate::startUpdateCheck(bool userInitiated) {
    MacUpdateManager& manager = MacUpdateManager::sharedManager();
    if (!updatePresenter_) {
        updatePresenter_ = std::make_shared<DMUpdatePresenter>(presenter_, mainWindowController()->window());
        manager.customize({DMTr::text(MacUpdateTexts::skip), DMTr::text(MacUpdateTexts::updateNow), DMTr::text(MacUpdateTexts::later),
                           DMTr::text(MacUpdateTexts::versionFormat), DMTr::text(MacUpdateTexts::releaseNotes)},
                          BuildConfiguration::updateCheckURL);
        manager.setPresenter(updatePresenter_);
    }
    MacUpdateAppInfoObject record(DMTexts::productName, "harbormind", version, MacUpdateTexts::productID);
    manager.checkForUpdates(record, userInitiated ? MacUpdateCheckOrigin::UserInitiated : MacUpdateCheckOrigin::Automatic);
}

void AppDelegate::enableDebugLogging_clickWithSender() {
    if (configurationManager_ != nullptr) {
        configurationManager_->toggleEnableDebugLogging();
    }
}

bool AppDelegate::isDebugLoggingEnabled() const {
    return configurationManager_ != nullptr && configurationManager_->enableDebugLogging();
}

void AppDelegate::preferences_clickWithSender() {
    if (!preferenceWndController_) {
        BLPreferenceWndController::Services services;
        services.config = configurationManager_;
        services.presenter = presenter_;
        // The driver installation of the menu: away from the window, then its report or the guide.
        if (Platform::current().packageManager() != nullptr) {
            services.installKext = [this] { installKext_clickWithSneder(); };
        }
        preferenceWndController_ = std::make_unique<BLPreferenceWndController>(std::move(services));
    }
    preferenceWndController_->showWindow();
}

void AppDelegate::quit_clickWithSender() {
    QApplication::quit();
}

void AppDelegate::uninstallApp_clickWithSender() {
    DMUninstaller uninstaller(presenter_, Platform::current().userData(), Platform::current().packageManager(),
                              [] { QApplication::quit(); });
    std::weak_ptr<DMNetworkDriveManager> network = networkDriveManager_;
    uninstaller.setSavedNetworkDrives([network] {
        std::vector<std::string> names;
        if (auto manager = network.lock()) {
            for (const auto& drive : manager->rootObjs()) {
                auto saved = std::dynamic_pointer_cast<DMNetworkDriveObject>(drive);
                if (saved && saved->saved()) {
                    names.push_back(saved->name());
                }
            }
        }
        return names;
    });
    uninstaller.start(mainWindowController()->window());
}

DMDriverInstaller* AppDelegate::driverInstaller() {
    if (!driverInstaller_) {
        auto controller = mainWindowController();
        QPointer<QMainWindow> window(controller->window());
        driverInstaller_ = std::make_unique<DMDriverInstaller>(
            DMDriverInstaller::platformServices(presenter_, [window] { return window.data(); }));
    }
    return driverInstaller_.get();
}

void AppDelegate::installKext_clickWithSneder() {
    driverInstaller()->installFromMenu();
}

void AppDelegate::installDriverFromDriveView(std::function<void()> done) {
    driverInstaller()->installFromDriveView(std::move(done));
}

void AppDelegate::takeScreenshot() {
    // Waits until the tree and the detail view have settled, then saves the window and quits.
    auto* timer = new QTimer(mainWindowController()->window());
    auto started = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [this, timer, started] {
        ++*started;
        auto controller = mainWindowController();
        DMSidebarViewController* sidebar = controller->sidebarViewController();
        if (!options_.select.empty() && sidebar->snapshot(options_.select) != nullptr &&
            (!sidebar->selectedItem() || sidebar->selectedItem()->identifier() != options_.select)) {
            sidebar->select(options_.select);
        }
        const bool settled = sidebar->reloadCount() > 0 && DMDriveSnapshotLoader::pending() == 0;
        if ((settled && *started >= 8) || *started >= 100) {
            timer->stop();
            QPixmap picture = controller->window()->grab();
            const QString path = QString::fromStdString(options_.screenshot);
            QDir().mkpath(QFileInfo(path).absolutePath());
            if (!picture.save(path)) {
                std::cerr << "harbormind: could not save " << options_.screenshot << "\n";
            }
            QApplication::quit();
        }
    });
    timer->start(250);
}

}  // namespace harbormind
