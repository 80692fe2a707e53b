#include "app/shell/DMWindowController.h"

#include "app/disktools/DMDiskImageFlow.h"
#include "app/disktools/DMDiskToolsTexts.h"
#include "drivemodel/DMLocalDriveObject.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/shell/DMApplicationActions.h"
#include "app/disktools/DMAttachDiskImageFlow.h"
#include "app/details/DMDisplayNames.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/shell/DMDriveRowObserver.h"
#include "app/common/DMImages.h"
#include "app/notifications/DMNotifyManager.h"
#include "app/widgets/DMSearchField.h"
#include "app/common/DMShellTexts.h"
#include "app/common/DMTextFormat.h"
#include "app/shell/DMSidebarViewController.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "app/details/DMViewControllerManager.h"
#include "app/network/DMNetworkEditorTexts.h"
#include "drivemodel/DMDriveManager.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "platform/Platform.h"
#include "app/drives/DMDriveOperations.h"
#include "support/Dispatch.h"

namespace harbormind {

std::shared_ptr<DMWindowController> DMWindowController::create(std::shared_ptr<DMDriveOperations> operations,
                                                               std::shared_ptr<DMAlertPresenter> presenter,
                                                               DMApplicationActions* applicationActions) {
    std::shared_ptr<DMWindowController> controller(
        new DMWindowController(std::move(operations), std::move(presenter), applicationActions));
    controller->build();
    return controller;
}

DMWindowController::DMWindowController(std::shared_ptr<DMDriveOperations> operations,
                                       std::shared_ptr<DMAlertPresenter> presenter,
                                       DMApplicationActions* applicationActions)
    : driveActionManager_(std::make_shared<DMDriveActionManager>(std::move(operations), presenter)),
      attachDiskImageFlow_(std::make_unique<DMAttachDiskImageFlow>(presenter)),
      diskImageFlow_(std::make_shared<DMDiskImageFlow>(presenter)),
      applicationActions_(applicationActions),
      window_(new QMainWindow()) {}

DMWindowController::~DMWindowController() {
    currentViewController_ = nullptr;
    sidebarViewController_.reset();
    viewControllerMgr_.reset();
    delete window_;
}

bool DMWindowController::isDriverMissing() const {
    return !driveActionManager_->operations()->isDriverInstalled();
}

void DMWindowController::build() {
    window_->setWindowTitle(QString::fromUtf8(DMTr::text(DMTexts::productName)));
    window_->setWindowIcon(DMImages::icon("harbormind"));
    window_->resize(1140, 680);
    window_->setMinimumSize(880, 520);

    auto* central = new QWidget(window_);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The bar on top: product name, search field, corner menu.
    auto* topBar = new QWidget(central);
    topBar->setObjectName(QStringLiteral("topBar"));
    topBar->setAttribute(Qt::WA_StyledBackground);
    topBar->setStyleSheet(QStringLiteral("QWidget#topBar { background: palette(window); border-bottom: 1px solid palette(mid); }"));
    auto* topLayout = new QHBoxLayout(topBar);
    topLayout->setContentsMargins(14, 8, 10, 8);
    auto* appIcon = new QLabel(topBar);
    appIcon->setPixmap(DMImages::icon("harbormind").pixmap(28, 28));
    lbTitle_ = new QLabel(QString::fromUtf8(DMTr::text(DMTexts::productName)), topBar);
    QFont titleFont = lbTitle_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    lbTitle_->setFont(titleFont);
    sfSiderItemFilter_ = new DMSearchField(topBar);
    sfSiderItemFilter_->setAccessibleName(QString::fromUtf8(DMTr::text(DMTexts::searchPlaceholder)));
    btnCornerMenu_ = new QToolButton(topBar);
    btnCornerMenu_->setText(QStringLiteral("\u2630"));
    btnCornerMenu_->setAccessibleName(QString::fromUtf8(DMTr::text(DMTexts::more)));
    btnCornerMenu_->setAutoRaise(true);
    btnCornerMenu_->setFocusPolicy(Qt::StrongFocus);
    topLayout->addWidget(appIcon);
    topLayout->addWidget(lbTitle_);
    topLayout->addStretch(1);
    btnNewDrives_ = new QToolButton(topBar);
    btnNewDrives_->setText(QStringLiteral("+"));
    btnNewDrives_->setToolTip(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::newDrive)));
    btnNewDrives_->setAccessibleName(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::newDrive)));
    btnNewDrives_->setAutoRaise(true);
    topLayout->addWidget(sfSiderItemFilter_);
    topLayout->addWidget(btnNewDrives_);
    topLayout->addWidget(btnCornerMenu_);
    layout->addWidget(topBar);

    auto* splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setChildrenCollapsible(false);
    splitter->setHandleWidth(1);
    std::weak_ptr<DMWindowController> weakSelf = weak_from_this();
    QMainWindow* mainWindow = window_;
    sidebarViewController_ = std::make_unique<DMSidebarViewController>(
        driveActionManager_, [mainWindow] { return mainWindow; }, [weakSelf] {
            auto self = weakSelf.lock();
            return self && self->isDriverMissing();
        },
        splitter);
    sidebarViewController_->setDelegate(this);
    sidebarViewController_->view()->setMinimumWidth(240);
    splitter->addWidget(sidebarViewController_->view());

    detailStack_ = new QStackedWidget(splitter);
    detailStack_->setObjectName(QStringLiteral("detail"));
    detailStack_->setAttribute(Qt::WA_StyledBackground);
    detailStack_->setStyleSheet(QStringLiteral("QStackedWidget#detail { background: palette(base); }"));
    placeholder_ = new QWidget(detailStack_);
    auto* placeholderLayout = new QVBoxLayout(placeholder_);
    lbLoading_ = new QLabel(QString::fromUtf8(DMTr::text(DMTexts::loadingDrive)), placeholder_);
    lbLoading_->setAlignment(Qt::AlignCenter);
    placeholderLayout->addWidget(lbLoading_);
    detailStack_->addWidget(placeholder_);
    splitter->addWidget(detailStack_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({280, 780});
    layout->addWidget(splitter, 1);
    window_->setCentralWidget(central);

    DMDetailContext context;
    context.actions = driveActionManager_;
    context.window = [mainWindow] { return mainWindow; };
    context.driverMissing = [weakSelf] {
        auto self = weakSelf.lock();
        return self && self->isDriverMissing();
    };
    if (applicationActions_ != nullptr) {
        DMApplicationActions* application = applicationActions_;
        context.installDriver = [application](std::function<void()> done) {
            application->installDriverFromDriveView(std::move(done));
        };
    }
    viewControllerMgr_ = std::make_unique<DMViewControllerManager>(context, detailStack_);
    sidebarViewController_->setReloadObserver([weakSelf] {
        if (auto self = weakSelf.lock()) {
            self->updatePlaceholder();
        }
    });

    cornerMenu_ = new QMenu(window_);
    QObject::connect(sfSiderItemFilter_, &QLineEdit::textChanged, window_, [weakSelf] {
        if (auto self = weakSelf.lock()) {
            self->searchDrive_click();
        }
    });
    QObject::connect(btnCornerMenu_, &QToolButton::clicked, window_, [weakSelf] {
        if (auto self = weakSelf.lock()) {
            self->cornerMenu_click();
        }
    });
    QObject::connect(btnNewDrives_, &QToolButton::clicked, window_, [weakSelf] {
        if (auto self = weakSelf.lock()) {
            self->newNetworkOrCloudDrive_click();
        }
    });
    auto* preferencesShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), window_);
    QObject::connect(preferencesShortcut, &QShortcut::activated, window_, [this] {
        if (applicationActions_ != nullptr && applicationActions_->hasPreferences()) {
            applicationActions_->preferences_clickWithSender();
        }
    });

    // Keyboard: Ctrl+F searches, Escape leaves the search for the tree.
    auto* findShortcut = new QShortcut(QKeySequence::Find, window_);
    QObject::connect(findShortcut, &QShortcut::activated, window_, [this] {
        sfSiderItemFilter_->setFocus(Qt::ShortcutFocusReason);
        sfSiderItemFilter_->selectAll();
    });
    auto* quitShortcut = new QShortcut(QKeySequence::Quit, window_);
    QObject::connect(quitShortcut, &QShortcut::activated, window_, [this] {
        if (applicationActions_ != nullptr) {
            applicationActions_->quit_clickWithSender();
        }
    });
    QWidget::setTabOrder(sfSiderItemFilter_, btnCornerMenu_);
    QWidget::setTabOrder(btnCornerMenu_, sidebarViewController_->view());
}

void DMWindowController::showWindow() {
    if (!window_->isVisible() && !discoveryTimeOver_) {
        // Drives found at start arrive within moments; a tree still empty after this wait
        // says that there are none rather than "Loading Drive ..." for ever.
        std::weak_ptr<DMWindowController> weakSelf = weak_from_this();
        Dispatch::main().asyncAfter(seconds(discoveryWait), [weakSelf] {
            if (auto self = weakSelf.lock()) {
                self->discoveryTimeOver_ = true;
                self->sidebarViewController_->reloadSoon();
            }
        });
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    sidebarViewController_->view()->setFocus();
}

void DMWindowController::onMainQueue(std::function<void(DMWindowController&)> work) {
    std::weak_ptr<DMWindowController> weakSelf = weak_from_this();
    Dispatch::main().async([weakSelf, work = std::move(work)] {
        if (auto self = weakSelf.lock()) {
            work(*self);
        }
    });
}

void DMWindowController::driveAdded(std::shared_ptr<DMDriveObjectProtocol> drive) {
    if (!drive) {
        return;
    }
    onMainQueue([drive](DMWindowController& self) {
        self.notifyEvent(drive, DMDriveEventKind::appeared);
        self.observe(drive);
        const std::string section = DMDisplayNames::of(drive->category());
        self.sidebarViewController_->addDrive(section, drive);
        self.sidebarViewController_->markStale(drive->identifier());
        self.objsMap_ = self.sidebarViewController_->rootItems();
        self.sidebarViewController_->reloadSoon();
    });
}

void DMWindowController::driveRemoved(std::shared_ptr<DMDriveObjectProtocol> drive) {
    if (!drive) {
        return;
    }
    const std::string identifier = drive->identifier();
    onMainQueue([identifier, drive](DMWindowController& self) {
        self.notifyEvent(drive, DMDriveEventKind::disappeared);
        self.rowObservers_.erase(drive.get());
        self.sidebarViewController_->removeDrive(identifier);
        self.objsMap_ = self.sidebarViewController_->rootItems();
        self.sidebarViewController_->reloadSoon();
    });
}

void DMWindowController::driveMounted(std::shared_ptr<DMDriveObjectProtocol> drive) {
    onMainQueue([drive](DMWindowController& self) { self.notifyEvent(drive, DMDriveEventKind::available); });
    updateDrive(drive, true);
}

void DMWindowController::driveUnmounted(std::shared_ptr<DMDriveObjectProtocol> drive) {
    onMainQueue([drive](DMWindowController& self) { self.notifyEvent(drive, DMDriveEventKind::unavailable); });
    updateDrive(drive, true);
}

void DMWindowController::notifyEvent(const Drive& drive, DMDriveEventKind kind) {
    if (notifyManager_ != nullptr) {
        notifyManager_->notify(drive, kind);
    }
}

void DMWindowController::driveChanged(std::shared_ptr<DMDriveObjectProtocol> drive) {
    // The manager re-read the drive before reporting the change.
    updateDrive(drive, false);
}

void DMWindowController::updateDrive(const Drive& drive, bool spaceChanged) {
    if (!drive) {
        return;
    }
    onMainQueue([drive, spaceChanged](DMWindowController& self) {
        self.observe(drive);
        if (spaceChanged) {
            self.sidebarViewController_->markStale(drive->identifier());
        }
        // Only drives already listed are updated: an event about a device the tree leaves
        // out (too small, excluded by name) must not slip into it this way.
        self.sidebarViewController_->replaceDrive(drive);
        self.objsMap_ = self.sidebarViewController_->rootItems();
        self.sidebarViewController_->reloadSoon();
    });
}

void DMWindowController::observe(const Drive& drive) {
    if (rowObservers_.contains(drive.get())) {
        return;
    }
    std::weak_ptr<DMWindowController> weakSelf = weak_from_this();
    std::weak_ptr<DMDriveObjectProtocol> weakDrive = drive;
    auto observer = std::make_shared<DMDriveRowObserver>([weakSelf, weakDrive] {
        auto self = weakSelf.lock();
        auto changed = weakDrive.lock();
        if (self && changed) {
            self->updateDrive(changed, false);
        }
    });
    drive->setDelegate(observer);
    rowObservers_[drive.get()] = observer;
}

void DMWindowController::sidebarSelectionChanged(const Drive& drive, const DMDriveSnapshot* snapshot) {
    if (!drive || snapshot == nullptr) {
        showDetail(nullptr);
        return;
    }
    DMBaseViewController* controller = viewControllerMgr_->controller(drive, *snapshot);
    showDetail(controller);
    controller->show(*snapshot);
}

void DMWindowController::showDetail(DMBaseViewController* controller) {
    currentViewController_ = controller;
    if (controller == nullptr) {
        updatePlaceholder();
        detailStack_->setCurrentWidget(placeholder_);
        return;
    }
    if (detailStack_->indexOf(controller) < 0) {
        detailStack_->addWidget(controller);
    }
    detailStack_->setCurrentWidget(controller);
}

std::string DMWindowController::placeholderText() const {
    return lbLoading_->text().toStdString();
}

void DMWindowController::updatePlaceholder() {
    const std::string filter = sfSiderItemFilter_->text().toStdString();
    std::string text;
    if (sidebarViewController_->showsDrives()) {
        text = DMTr::text(DMShellTexts::selectDrive);
    } else if (!filter.empty()) {
        text = DMTextFormat::withText(DMTr::text(DMShellTexts::noMatchFormat), filter);
    } else {
        text = discoveryTimeOver_ ? DMTr::text(DMShellTexts::noDrives) : DMTr::text(DMTexts::loadingDrive);
    }
    lbLoading_->setText(QString::fromStdString(text));
}

void DMWindowController::searchDrive_click() {
    sidebarViewController_->setFilterText(sfSiderItemFilter_->text().toStdString());
    DMDriveManager::shared().setFilter(sfSiderItemFilter_->text().toStdString());
    sidebarViewController_->scheduleReload(0.5);
}

void DMWindowController::rebuildCornerMenu() {
    cornerMenu_->clear();
    if (applicationActions_ == nullptr) {
        return;
    }
    DMApplicationActions* actions = applicationActions_;
    auto add = [this](QMenu* menu, const char* title, std::function<void()> action) {
        QAction* item = menu->addAction(QString::fromUtf8(title));
        QObject::connect(item, &QAction::triggered, cornerMenu_, std::move(action));
        return item;
    };
    // Only entries whose actions this application carries out are listed.
    if (actions->hasPreferences()) {
        add(cornerMenu_, DMTr::text(DMTexts::preferences), [actions] { actions->preferences_clickWithSender(); });
        cornerMenu_->addSeparator();
    }
    if (actions->hasUSBBlocker()) {
        QMenu* usbSubMenu = cornerMenu_->addMenu(QString::fromUtf8(DMTr::text(DMTexts::usbWarden)));
        if (actions->isUSBBlockerOn()) {
            add(usbSubMenu, DMTr::text(DMTexts::stopUsbWarden), [actions] { actions->startUSBBlockerWithSender(1); });
            usbSubMenu->addSeparator();
            add(usbSubMenu, DMTr::text(DMTexts::usbWardenPreferences), [actions] { actions->settingUSBBlokcerWithSender(); });
        } else {
            add(usbSubMenu, DMTr::text(DMTexts::enableUsbWarden), [actions] { actions->startUSBBlockerWithSender(0); });
        }
        cornerMenu_->addSeparator();
    }
    if (Platform::current().diskImages()) {
        add(cornerMenu_, DMTr::text(DMTexts::attachDiskImage), [this] { attachDiskImage_click(); });
    }
    // Of the disk or volume shown.
    const bool local = selectedLocalDrive() != nullptr;
    add(cornerMenu_, DMTr::text(DMDiskToolsTexts::createDiskImage), [this] { createDiskImage_click(); })->setEnabled(local);
    add(cornerMenu_, DMTr::text(DMDiskToolsTexts::restoreDiskImage), [this] { restoreDiskImage_click(); })->setEnabled(local);
    cornerMenu_->addSeparator();
    add(cornerMenu_, DMTr::text(DMTexts::about), [actions] { actions->about_clickWithSender(); });
    add(cornerMenu_, DMTr::text(DMTexts::help), [actions] { actions->help_clickWithSender(); });
    cornerMenu_->addSeparator();
    QMenu* moreMenu = cornerMenu_->addMenu(QString::fromUtf8(DMTr::text(DMTexts::more)));
    add(moreMenu, DMTr::text(DMTexts::checkForUpdates), [actions] { actions->checkForUpdates_clickWithSender(); });
    moreMenu->addSeparator();
    QAction* debugLogging =
        add(moreMenu, DMTr::text(DMTexts::enableDebugLogging), [actions] { actions->enableDebugLogging_clickWithSender(); });
    debugLogging->setCheckable(true);
    debugLogging->setChecked(actions->isDebugLoggingEnabled());
    add(moreMenu, DMTr::text(DMTexts::uninstall), [actions] { actions->uninstallApp_clickWithSender(); });
    cornerMenu_->addSeparator();
    add(cornerMenu_, DMTr::text(DMTexts::quit), [actions] { actions->quit_clickWithSender(); });
}

void DMWindowController::newNetworkOrCloudDrive_click() {
    DMNewNetworkCloudDrivesWindowController::present(newDrivesWindowController_, nullptr, window_);
}

void DMWindowController::attachDiskImage_click() {
    attachDiskImageFlow_->run(window_);
}

std::shared_ptr<DMDriveObjectProtocol> DMWindowController::selectedLocalDrive() const {
    if (!currentViewController_ || !currentViewController_->obj()) {
        return nullptr;
    }
    return std::dynamic_pointer_cast<DMLocalDriveObject>(currentViewController_->obj()) ? currentViewController_->obj()
                                                                                        : nullptr;
}

void DMWindowController::createDiskImage_click() {
    if (auto drive = selectedLocalDrive()) {
        diskImageFlow_->createImage(drive, window_);
    }
}

void DMWindowController::restoreDiskImage_click() {
    if (auto drive = selectedLocalDrive()) {
        diskImageFlow_->restoreImage(drive, window_);
    }
}

void DMWindowController::cornerMenu_click() {
    rebuildCornerMenu();
    // Just below the corner button, 7 points under its frame.
    QPoint below = btnCornerMenu_->mapToGlobal(QPoint(0, btnCornerMenu_->height() + 7));
    cornerMenu_->popup(below);
}

}  // namespace harbormind
