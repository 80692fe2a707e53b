#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>

#include "app/disktools/DMAttachDiskImageFlow.h"
#include "app/details/DMBaseViewController.h"
#include "app/widgets/DMCapacityMapSplitterView.h"
#include "app/widgets/DMCapacityMapView.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/shell/DMFeatureWindowFactory.h"
#include "app/drives/DMDriveManagerOperations.h"
#include "app/drives/DMDriveSnapshotLoader.h"
#include "app/details/DMLocalDriveViewController.h"
#include "app/details/DMLocalPartitionViewController.h"
#include "app/widgets/DMMacDockView.h"
#include "app/details/DMNetworkDriveViewController.h"
#include "app/widgets/DMProgressView.h"
#include "app/widgets/DMSearchField.h"
#include "app/shell/DMSidebarViewController.h"
#include "app/details/DMViewControllerManager.h"
#include "app/shell/DMWindowController.h"
#include "app/network/DMNetworkDriveConfigurableViewController.h"
#include "app/network/DMNewNetworkCloudDrivesWindowController.h"
#include "AppTestSupport.h"
#include "drivemodel/DMDriveManager.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "network/DMNetworkDriveManager.h"
#include "platform/DiskImages.h"
#include "platform/NetworkMountStatus.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "platform/sim/SimDiskImages.h"
#include "platform/sim/SimNetworkMounter.h"
#include "platform/sim/SimPlatform.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"
#include "xpc/XPCTransport.h"

namespace harbormind {
namespace {

// Mount codes can be forced; everything else goes to the real drive managers.
class ForcedMountOperations final : public DMDriveOperations {
public:
    bool isLocalDrive(const Drive& drive) override { return real.isLocalDrive(drive); }
    DMDriveObjectFilesystem fileSystem(const Drive& drive) override { return real.fileSystem(drive); }
    std::string name(const Drive& drive) override { return real.name(drive); }
    int open(const Drive& drive) override { return real.open(drive); }
    int mount(const Drive& drive) override { return forcedMountCode ? *forcedMountCode : real.mount(drive); }
    DMOperationResult mountWithReason(const Drive& drive) override {
        return forcedMountCode ? DMOperationResult{*forcedMountCode, forcedReason} : real.mountWithReason(drive);
    }
    DMOperationResult unmount(const Drive& drive, DMUnmountOption option) override {
        return real.unmount(drive, option);
    }
    DMOperationResult eject(const Drive& drive) override { return real.eject(drive); }
    int lock(const Drive& drive) override { return real.lock(drive); }
    int accessMode(const Drive& drive) override { return real.accessMode(drive); }
    bool hasHibernationFile(const Drive& drive) override { return real.hasHibernationFile(drive); }
    void setIgnoreHibernateFile(bool ignore) override { real.setIgnoreHibernateFile(ignore); }
    std::vector<Drive> externalRootDrives() override { return real.externalRootDrives(); }
    int mountAsNTFS(const Drive& drive) override { return forcedMountCode ? *forcedMountCode : real.mountAsNTFS(drive); }
    DMOperationResult mountAsNTFSWithReason(const Drive& drive) override {
        return forcedMountCode ? DMOperationResult{*forcedMountCode, forcedReason} : real.mountAsNTFSWithReason(drive);
    }
    bool isDriverInstalled() override { return forcedDriverInstalled.value_or(real.isDriverInstalled()); }
    bool canInstallDriver() override { return false; }
    void installDriver() override {}
    bool ignoreHibernationFileWhenMountingNtfsDrives() override { return true; }
    void openURL(const std::string& url) override { real.openURL(url); }
    bool isNetworkDrive(const Drive& drive) override { return real.isNetworkDrive(drive); }
    void connect(const Drive& drive, std::function<void(int)> done) override { real.connect(drive, done); }
    void disconnect(const Drive& drive, std::function<void(int)> done) override { real.disconnect(drive, done); }
    void openNetworkDrive(const Drive& drive) override { real.openNetworkDrive(drive); }
    void removeNetworkDrive(const Drive& drive) override { real.removeNetworkDrive(drive); }
    std::vector<Drive> networkDrives() override { return real.networkDrives(); }
    bool automaticallyOpenDrivesAfterConnecting() override { return true; }

    DMDriveManagerOperations real{nullptr};
    std::optional<int> forcedMountCode;
    // As a platform whose read-write NTFS driver is present (ntfs-3g, ntfs3) answers.
    std::optional<bool> forcedDriverInstalled;
    std::string forcedReason;
};

class MainWindowTest : public test::VirtualClockTest {
protected:
    void start(const std::string& scenario, const std::function<void(SimPlatform&)>& prepare = nullptr) {
        test::ensureApplication();
        SimLoadResult loaded = SimPlatform::load(test::scenarioPath(scenario));
        ASSERT_TRUE(loaded) << loaded.error;
        platform = loaded.platform;
        if (prepare) {
            prepare(*platform);
        }
        Platform::setCurrent(platform);
        daemon = std::make_shared<InProcessDaemon>(platform->daemonAnswers());
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
        presenter = std::make_shared<test::RecordingPresenter>();
        operations = std::make_shared<ForcedMountOperations>();
        controller = DMWindowController::create(operations, presenter, nullptr);
        manager = DMLocalDriveManager::create(controller);
        DMDriveManager::shared().setFilter("");
        DMDriveManager::shared().setDelegate(controller);
        DMDriveManager::shared().registerManager(manager, "");
        settle();
    }

    void TearDown() override {
        if (manager) {
            DMDriveManager::shared().unregisterManager(manager);
        }
        DMDriveManager::shared().setDelegate({});
        DMDriveManager::shared().setFilter("");
        settle();
        controller.reset();
        manager.reset();
        XPCTransport::setCurrent(nullptr);
        VirtualClockTest::TearDown();
    }

    // Lets discovery, reloads and detail refreshes finish.
    void settle(double limit = 1.0) {
        Dispatch::main().runUntil([] { return false; }, seconds(limit));
        Dispatch::main().runUntil([] { return DMDriveSnapshotLoader::pending() == 0; }, seconds(10));
    }

    DMSidebarViewController& sidebar() { return *controller->sidebarViewController(); }

    std::vector<std::string> menuFor(const std::string& identifier) {
        QTreeWidgetItem* row = sidebar().itemFor(identifier);
        EXPECT_NE(row, nullptr) << identifier;
        std::vector<std::string> titles;
        for (QAction* action : sidebar().rebuildMenu(row)->actions()) {
            titles.push_back(action->text().toStdString());
        }
        return titles;
    }

    DMBaseViewController* select(const std::string& identifier) {
        EXPECT_TRUE(sidebar().select(identifier)) << identifier;
        settle(0.1);
        return controller->currentViewController();
    }

    std::shared_ptr<SimPlatform> platform;
    std::shared_ptr<InProcessDaemon> daemon;
    std::shared_ptr<test::RecordingPresenter> presenter;
    std::shared_ptr<ForcedMountOperations> operations;
    std::shared_ptr<DMWindowController> controller;
    std::shared_ptr<DMLocalDriveManager> manager;
};

bool contains(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

TEST_F(MainWindowTest, LaptopTreeShowsVolumesUnderTheirDisksAndNoNetworkSection) {
    start("laptop.json");
    std::vector<std::string> rows = sidebar().displayedRows();
    EXPECT_EQ(rows.front(), "#Local Drive");
    EXPECT_FALSE(contains(rows, "#Network Drive"));
    for (const char* shown : {"disk0", "disk0s2", "disk3", "disk3s1", "disk3s5"}) {
        EXPECT_TRUE(contains(rows, shown)) << shown;
    }
    for (const char* excluded : {"disk0s1", "disk3s2", "disk3s3", "disk3s4"}) {
        EXPECT_FALSE(contains(rows, excluded)) << excluded;
    }
    QTreeWidgetItem* system = sidebar().itemFor("disk3s1");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->parent()->data(0, Qt::UserRole).toString().toStdString(), "disk3");
    EXPECT_EQ(system->text(0).toStdString(), "Macintosh HD");
    // The system volume and its data volume are where junk is cleaned; no other volume is.
    ASSERT_NE(sidebar().snapshot("disk3s5"), nullptr);
    EXPECT_TRUE(sidebar().snapshot("disk3s1")->own.onSystemMountPoint);
    EXPECT_TRUE(sidebar().snapshot("disk3s5")->own.onSystemMountPoint);
    EXPECT_FALSE(sidebar().snapshot("disk0s2")->own.onSystemMountPoint);
    // Section rows cannot be selected.
    EXPECT_FALSE(sidebar().sectionItem("Local Drive")->flags() & Qt::ItemIsSelectable);
}

TEST_F(MainWindowTest, RowsSortByIdentifierAsPlainText) {
    start("usb-disks.json", [](SimPlatform& sim) {
        ASSERT_TRUE(sim.addDisk(R"({"bsdName": "disk10", "registryName": "Card Reader Media",
            "properties": {"Whole": true, "Size": 8000000000},
            "description": {"DAMediaName": "Card Reader Media", "DAMediaSize": 8000000000, "DAMediaWhole": true,
                            "DADeviceInternal": false, "DADeviceProtocol": "USB"}})"));
    });
    std::vector<std::string> rows = sidebar().displayedRows();
    auto position = [&](const std::string& identifier) {
        return std::find(rows.begin(), rows.end(), identifier) - rows.begin();
    };
    ASSERT_TRUE(contains(rows, "disk10"));
    EXPECT_LT(position("disk10"), position("disk4"));
    EXPECT_LT(position("disk4"), position("disk5"));
    EXPECT_LT(position("disk5"), position("disk6"));
}

TEST_F(MainWindowTest, ThreeQuickKeystrokesReloadTheTreeOnceHalfASecondAfterTheLast) {
    start("usb-disks.json");
    const int before = sidebar().reloadCount();
    DMSearchField* search = controller->searchField();
    search->setText("s");
    Dispatch::main().runUntil([] { return false; }, seconds(0.1));
    search->setText("st");
    Dispatch::main().runUntil([] { return false; }, seconds(0.1));
    search->setText("sti");
    const double typed = now();
    Dispatch::main().runUntil([&] { return sidebar().reloadCount() > before; }, seconds(5));
    EXPECT_DOUBLE_EQ(now() - typed, 0.5);
    settle(3.0);
    EXPECT_EQ(sidebar().reloadCount(), before + 1);
    // Case does not matter; the matching volume keeps its disk.
    std::vector<std::string> rows = sidebar().displayedRows();
    EXPECT_TRUE(contains(rows, "disk4s1"));
    EXPECT_TRUE(contains(rows, "disk4"));
    EXPECT_FALSE(contains(rows, "disk5s1"));

    search->setText("");
    settle(1.0);
    EXPECT_TRUE(contains(sidebar().displayedRows(), "disk5s1"));
}

TEST_F(MainWindowTest, ContextMenus) {
    start("usb-disks.json");
    // The locked BitLocker volume without the driver: unlock only.
    std::vector<std::string> bitlocker = menuFor("disk6s1");
    EXPECT_TRUE(contains(bitlocker, "Unlock"));
    EXPECT_FALSE(contains(bitlocker, "Mount"));
    EXPECT_FALSE(contains(bitlocker, "Eject"));
    // Whole disks never offer Mount, even when nothing on them is mounted.
    for (const char* disk : {"disk4", "disk5", "disk6", "disk8"}) {
        EXPECT_FALSE(contains(menuFor(disk), "Mount")) << disk;
    }
    EXPECT_TRUE(contains(menuFor("disk4s1"), "Mount"));
    EXPECT_TRUE(contains(menuFor("disk5s1"), "Open"));
    EXPECT_TRUE(contains(menuFor("disk5s1"), "Unmount"));
    // Empty space and the section rows.
    EXPECT_TRUE(sidebar().rebuildMenu(nullptr)->actions().isEmpty());
    QMenu* section = sidebar().rebuildMenu(sidebar().sectionItem("Local Drive"));
    ASSERT_EQ(section->actions().size(), 1);
    EXPECT_EQ(section->actions().front()->text().toStdString(), "Unmount All");
}

TEST_F(MainWindowTest, PartitionViewFactsTipAndEnabledItems) {
    start("usb-disks.json");
    auto* view = dynamic_cast<DMLocalPartitionViewController*>(select("disk5s1"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->title(), "ELEMENTS");
    auto facts = view->facts();
    ASSERT_EQ(facts.size(), 6u);
    EXPECT_EQ(facts[0], (std::pair<std::string, std::string>{"Mount Point", "/Volumes/ELEMENTS"}));
    EXPECT_EQ(facts[1], (std::pair<std::string, std::string>{"Type", "NTFS"}));
    EXPECT_EQ(facts[2].first, "Capacity");
    EXPECT_EQ(facts[3].first, "Used");
    EXPECT_EQ(facts[4], (std::pair<std::string, std::string>{"Available", "412.32 GB"}));
    EXPECT_EQ(facts[5], (std::pair<std::string, std::string>{"Device", "disk5s1"}));
    EXPECT_EQ(view->capacityMap()->title(), "NTFS Volume");
    EXPECT_EQ(view->capacityMap()->subtitle(), "Used: 587.85 GB, Available: 412.32 GB");
    ASSERT_EQ(view->capacityMap()->pvCapacity()->sections().size(), 1u);
    EXPECT_EQ(view->capacityMap()->pvCapacity()->sections()[0].colour, QColor("#b7cc41"));
    // No driver installed on this machine: the tip shows.
    EXPECT_TRUE(view->isTipVisible());

    DMMacDockView* bar = view->actionBar();
    std::vector<std::string> names;
    for (const auto& item : bar->items()) {
        names.push_back(item.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Open", "Unlock", "Lock", "Mount", "Unmount", "Encrypt",
                                               "Clean Drive", "Clean Junk", "First Aid", "Erase...", "Delete..."}));
    EXPECT_TRUE(bar->isEnabled("Open"));
    EXPECT_TRUE(bar->isEnabled("Unmount"));
    EXPECT_FALSE(bar->isEnabled("Mount"));
    EXPECT_FALSE(bar->isEnabled("Clean Junk"));
    // A mounted NTFS volume can be encrypted (BitLocker). First Aid checks any mounted volume.
    EXPECT_TRUE(bar->isEnabled("Encrypt"));
    EXPECT_TRUE(bar->isEnabled("First Aid"));

    auto* unmounted = dynamic_cast<DMLocalPartitionViewController*>(select("disk4s1"));
    ASSERT_NE(unmounted, nullptr);
    EXPECT_EQ(unmounted->facts()[0].second, "Not Mounted");
    EXPECT_FALSE(unmounted->capacityMap()->isAvailable());
    EXPECT_FALSE(unmounted->actionBar()->isEnabled("Open"));
    EXPECT_TRUE(unmounted->actionBar()->isEnabled("Mount"));
    EXPECT_FALSE(unmounted->isTipVisible());
}

TEST_F(MainWindowTest, WholeDiskViewFactsMapsAndItems) {
    start("usb-disks.json");
    auto* view = dynamic_cast<DMLocalDriveViewController*>(select("disk5"));
    ASSERT_NE(view, nullptr);
    auto facts = view->facts();
    std::vector<std::string> keys;
    for (const auto& fact : facts) {
        keys.push_back(fact.first);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Location", "Capacity", "Connection", "Partition Map", "Type", "Device"}));
    EXPECT_EQ(facts[0].second, "External");
    EXPECT_EQ(facts[1].second, "1 TB");
    EXPECT_EQ(facts[2].second, "USB");
    EXPECT_EQ(facts[3].second, "Master Boot Record");
    EXPECT_EQ(facts[5].second, "disk5");
    ASSERT_EQ(view->capacityMaps()->maps().size(), 1u);
    EXPECT_EQ(view->capacityMaps()->maps()[0]->title(), "ELEMENTS");

    DMMacDockView* bar = view->actionBar();
    std::vector<std::string> names;
    for (const auto& item : bar->items()) {
        names.push_back(item.name + "/" + item.icon);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Unmount All/menu_unmount", "Eject/menu_eject", "Clone/menu_clone",
                                               "Resume Clone/menu_recoverClone", "Erase.../menu_erase",
                                               "New Partition.../menu_partition"}));
    EXPECT_TRUE(bar->isEnabled("Unmount All"));
    EXPECT_TRUE(bar->isEnabled("Eject"));
    EXPECT_TRUE(bar->isEnabled("Clone"));

    // Nothing on the stick is mounted: nothing to unmount.
    auto* stick = dynamic_cast<DMLocalDriveViewController*>(select("disk4"));
    ASSERT_NE(stick, nullptr);
    EXPECT_FALSE(stick->actionBar()->isEnabled("Unmount All"));
}

TEST_F(MainWindowTest, OneDetailControllerPerDriveIsReused) {
    start("usb-disks.json");
    DMBaseViewController* first = select("disk5s1");
    select("disk4");
    DMBaseViewController* again = select("disk5s1");
    EXPECT_EQ(first, again);
    EXPECT_EQ(controller->viewControllerMgr()->count(), 2u);
}

// "Attach Disk Image...": the picked file is attached, read-only when the user may only read
// it (and then the user is told), and a failure is shown with its reason.
TEST_F(MainWindowTest, AttachDiskImageAttachesThePickedFileAndExplainsWhatIsNotAsAsked) {
    start("laptop.json");
    SimDiskImages& images = platform->simDiskImages();
    std::optional<std::string> picked = "/home/ann/disk.img";
    controller->attachDiskImageFlow().setFileChooser([&picked](QWidget*) { return picked; });
    auto attach = [this] {
        controller->attachDiskImage_click();
        settle(0.5);
    };
    attach();
    EXPECT_EQ(images.requests(), std::vector<std::string>{"/home/ann/disk.img"});
    ASSERT_EQ(presenter->titles(), std::vector<std::string>{"The disk image could not be attached"});
    EXPECT_EQ(presenter->shown[0].alert.informativeText, "the simulated machine attaches no disk images");

    images.setAnswers({{DiskImages::notWritable, "cannot open it for writing"}, {0, "loop7"}});
    attach();
    EXPECT_EQ(images.requests().back(), "/home/ann/disk.img read-only");
    ASSERT_EQ(presenter->shown.size(), 2u);
    EXPECT_EQ(presenter->shown[1].alert.title, "The disk image was attached read-only as loop7");

    picked.reset();
    attach();
    EXPECT_EQ(images.requests().size(), 3u);
    EXPECT_EQ(presenter->shown.size(), 2u);
}

TEST_F(MainWindowTest, MountFromTheActionBarRefreshesOrExplainsTheFailure) {
    start("usb-disks.json");
    DMBaseViewController* view = select("disk4s1");
    ASSERT_NE(view, nullptr);
    view->actionBar()->button("Mount")->click();
    Dispatch::main().runUntil([&] { return view->facts()[0].second != "Not Mounted"; }, seconds(10));
    settle(0.5);
    EXPECT_EQ(view->facts()[0].second, "/Volumes/STICK");
    EXPECT_TRUE(presenter->shown.empty());

    DMBaseViewController* other = select("disk8s1");
    ASSERT_NE(other, nullptr);
    platform->unmountVolume("disk8s1");
    settle(1.0);
    // Any failing code reaches the view as -1.
    operations->forcedMountCode = 5;
    ASSERT_TRUE(other->actionBar()->isEnabled("Mount"));
    other->actionBar()->button("Mount")->click();
    settle(0.5);
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title, "Error");
    EXPECT_EQ(presenter->shown[0].alert.text, "The drive could not be mounted (error code -1).");
}

// Regression: an NTFS volume mounted read-write by ntfs-3g showed the install banner and every
// Open asked to install a driver, because the check looked for another system's driver files.
TEST_F(MainWindowTest, WithAReadWriteNtfsDriverNoViewAsksToInstallOne) {
    start("usb-disks.json");
    operations->forcedDriverInstalled = true;
    auto* view = dynamic_cast<DMLocalPartitionViewController*>(select("disk5s1"));
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->isTipVisible());
    ASSERT_TRUE(view->actionBar()->isEnabled("Open"));
    view->actionBar()->button("Open")->click();
    settle(0.5);
    EXPECT_TRUE(presenter->shown.empty());
    EXPECT_EQ(platform->openedFolders(), std::vector<std::string>{"/Volumes/ELEMENTS"});
}

TEST_F(MainWindowTest, NetworkDrivesGetTheirSectionMenuAndView) {
    start("laptop.json");
    auto network = DMNetworkDriveManager::create(controller);
    DMDriveManager::shared().registerManager(network, "");
    auto share = network->makeDriveObject(DMNetworkDriveType::smb);
    share->setName("Team");
    share->setHost("nas.local");
    share->setUserName("ann");
    share->setDir("/team");
    share->setSaved(true);
    share->refreshIdentifier();
    network->add(share);
    controller->driveAdded(share);
    settle();

    std::vector<std::string> rows = sidebar().displayedRows();
    auto section = std::find(rows.begin(), rows.end(), "#Network Drive");
    ASSERT_NE(section, rows.end());
    EXPECT_GT(section - rows.begin(), std::find(rows.begin(), rows.end(), "#Local Drive") - rows.begin());
    EXPECT_EQ(*(section + 1), share->identifier());
    EXPECT_EQ(menuFor(share->identifier()), (std::vector<std::string>{"Connect", "Edit", "Remove"}));
    QMenu* sectionMenu = sidebar().rebuildMenu(sidebar().sectionItem("Network Drive"));
    ASSERT_EQ(sectionMenu->actions().size(), 2);
    EXPECT_EQ(sectionMenu->actions()[0]->text().toStdString(), "Connect All");

    auto* view = dynamic_cast<DMNetworkDriveViewController*>(select(share->identifier()));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->title(), "Team");
    auto facts = view->facts();
    ASSERT_EQ(facts.size(), 5u);
    EXPECT_EQ(facts[0], (std::pair<std::string, std::string>{"Mount Point", "Not Connected"}));
    EXPECT_EQ(facts[1], (std::pair<std::string, std::string>{"Type", "SMB"}));
    // Not connected, it has no size to show (never "0 bytes").
    EXPECT_EQ(facts[2], (std::pair<std::string, std::string>{"Capacity", ""}));
    EXPECT_EQ(facts[3], (std::pair<std::string, std::string>{"Available", ""}));
    EXPECT_EQ(facts[4], (std::pair<std::string, std::string>{"URL", share->urlString()}));
    DMMacDockView* bar = view->actionBar();
    EXPECT_FALSE(bar->isEnabled("Open"));
    EXPECT_TRUE(bar->isEnabled("Connect"));
    EXPECT_FALSE(bar->isEnabled("Disconnect"));
    // "Edit" opens the editor filled from the drive, as a sheet of the main window; the
    // new-drive button opens an empty one. Removing asks first and "Cancel" keeps the drive.
    ASSERT_TRUE(bar->isEnabled("Edit"));
    bar->button("Edit")->click();
    DMNewNetworkCloudDrivesWindowController* editor = controller->driveWindows()->editNetworkDriveWindowController();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->parentWidget(), controller->window());
    EXPECT_EQ(editor->currentConfigurableViewController()->tfServer()->text(), "nas.local/team");
    editor->close_clickWithSender();
    controller->btnNewDrives()->click();
    ASSERT_NE(controller->newDrivesWindowController(), nullptr);
    EXPECT_TRUE(controller->newDrivesWindowController()->currentConfigurableViewController()->tfNickName()->text().isEmpty());
    controller->newDrivesWindowController()->close_clickWithSender();
    EXPECT_TRUE(bar->isEnabled("Remove"));
    presenter->answers = {1};
    bar->button("Remove")->click();
    ASSERT_EQ(presenter->titles(), (std::vector<std::string>{"Delete the drive?"}));
    EXPECT_EQ(presenter->shown[0].alert.buttons, (std::vector<std::string>{"Confirm", "Cancel"}));
    EXPECT_EQ(network->rootObjs().size(), 1u);

    if (const char* directory = std::getenv("HARBORMIND_SCREENSHOT_DIR")) {
        controller->window()->resize(1060, 680);
        controller->window()->grab().save(QString::fromUtf8(directory) + "/laptop-network-drive.png");
    }
    DMDriveManager::shared().unregisterManager(network);
}

// A saved drive keeps its row through connect and disconnect: the row shows the connect
// running, the drive opens once connected, and a disconnect that cannot finish says why.
TEST_F(MainWindowTest, ASavedNetworkDriveKeepsItsRowThroughConnectAndDisconnect) {
    start("laptop.json");
    auto network = DMNetworkDriveManager::create(controller);
    DMDriveManager::shared().registerManager(network, "");
    auto share = network->makeDriveObject(DMNetworkDriveType::smb);
    share->setName("Team");
    share->setHost("nas.local");
    share->setUserName("ann");
    share->setDir("/team");
    share->setSaved(true);
    share->refreshIdentifier();
    network->add(share);
    controller->driveAdded(share);
    settle();
    SimNetworkMounter& mounter = platform->simNetworkMounter();
    mounter.setMountDelay(seconds(3));

    auto* view = dynamic_cast<DMNetworkDriveViewController*>(select(share->identifier()));
    ASSERT_NE(view, nullptr);
    view->actionBar()->button("Connect")->click();
    settle(1);
    ASSERT_NE(sidebar().itemFor(share->identifier()), nullptr);
    EXPECT_TRUE(sidebar().itemFor(share->identifier())->text(0).endsWith(QStringLiteral("\u2026")));
    settle(5);
    EXPECT_TRUE(share->isMounted());
    EXPECT_FALSE(sidebar().itemFor(share->identifier())->text(0).endsWith(QStringLiteral("\u2026")));
    EXPECT_EQ(platform->openedFolders(), std::vector<std::string>{*share->mountPoint()});
    ASSERT_EQ(controller->objsMap().at("Network Drive").size(), 1u);
    EXPECT_EQ(controller->objsMap().at("Network Drive")[0].get(), share.get());
    EXPECT_EQ(sidebar().itemFor(share->identifier())->text(0).toStdString(), "Team");

    // Files still on their way keep it connected, and the user is told.
    std::string mountPoint = *share->mountPoint();
    mounter.setPendingWrites(mountPoint, 1);
    controller->driveActionManager()->perform(DMDriveAction::unmount, share, controller->window(), nullptr);
    settle(2);
    EXPECT_TRUE(sidebar().itemFor(share->identifier())->text(0).endsWith(QStringLiteral("\u2026")));
    settle(130);
    EXPECT_TRUE(share->isMounted());
    ASSERT_EQ(presenter->titles(), std::vector<std::string>{"Disconnection failed"});
    EXPECT_EQ(presenter->shown[0].alert.text, NetworkMountStatus::describe(NetworkMountStatus::writesPending));

    mounter.setPendingWrites(mountPoint, 0);
    controller->driveActionManager()->perform(DMDriveAction::unmount, share, controller->window(), nullptr);
    settle(3);
    EXPECT_FALSE(share->isMounted());
    EXPECT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(menuFor(share->identifier()), (std::vector<std::string>{"Connect", "Edit", "Remove"}));
    DMDriveManager::shared().unregisterManager(network);
}

TEST_F(MainWindowTest, ASearchThatMatchesNothingSaysSoAndEscapeBringsEveryDriveBack) {
    start("usb-disks.json");
    DMSearchField* search = controller->searchField();
    search->setText("no such drive");
    settle(1.0);
    // No bare section header: one line that says nothing matches.
    EXPECT_EQ(sidebar().sectionItem("Local Drive"), nullptr);
    ASSERT_EQ(sidebar().view()->topLevelItemCount(), 1);
    EXPECT_EQ(sidebar().view()->topLevelItem(0)->text(0).toStdString(), "No drive matches \"no such drive\"");
    EXPECT_FALSE(sidebar().view()->topLevelItem(0)->flags() & Qt::ItemIsSelectable);
    EXPECT_FALSE(sidebar().showsDrives());

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(search, &escape);
    EXPECT_TRUE(search->text().isEmpty());
    settle(1.0);
    EXPECT_TRUE(contains(sidebar().displayedRows(), "disk4s1"));
    EXPECT_NE(sidebar().sectionItem("Local Drive"), nullptr);
}

TEST_F(MainWindowTest, AFailedMountKeepsItsMessageAddsTheCauseAndOffersFirstAid) {
    start("usb-disks.json");
    DMBaseViewController* view = select("disk8s1");
    ASSERT_NE(view, nullptr);
    platform->unmountVolume("disk8s1");
    settle(1.0);
    // Without a reason from the system there is nothing to point First Aid at: no offer.
    operations->forcedMountCode = 32;
    view->actionBar()->button("Mount")->click();
    settle(0.5);
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(presenter->shown[0].alert.informativeText.empty());

    operations->forcedReason = "mount: /media/STICK: Structure needs cleaning.";
    view->actionBar()->button("Mount")->click();
    settle(0.5);
    ASSERT_EQ(presenter->shown.size(), 2u);
    const DMAlert& alert = presenter->shown[1].alert;
    EXPECT_EQ(alert.title, "Error");
    // A known cause is said, never "try again later".
    EXPECT_EQ(alert.text, "The drive could not be mounted: mount: /media/STICK: Structure needs cleaning.");
    EXPECT_EQ(alert.informativeText, "mount: /media/STICK: Structure needs cleaning.");
    // The drive can be checked: First Aid is offered, and Escape keeps to "Ok".
    EXPECT_EQ(alert.buttons, (std::vector<std::string>{"OK", "First Aid"}));
    EXPECT_EQ(alert.escapeButton, std::optional<std::size_t>(0));
    EXPECT_EQ(controller->driveWindows()->checkDiskWindowController(), nullptr);
    presenter->answer(1, 1);
    settle(0.5);
    EXPECT_NE(controller->driveWindows()->checkDiskWindowController(), nullptr);

    // Refused by the helper daemon: what to do, not a code; First Aid would not help.
    operations->forcedReason = "refused: not authorized";
    view->actionBar()->button("Mount")->click();
    settle(0.5);
    ASSERT_EQ(presenter->shown.size(), 3u);
    EXPECT_EQ(presenter->shown[2].alert.text,
              "Your account is not allowed to mount this drive. Ask an administrator, or see \"man harbormindctl\" "
              "(ACCESS).");
    EXPECT_EQ(presenter->shown[2].alert.informativeText, "refused: not authorized");
    EXPECT_EQ(presenter->shown[2].alert.buttons, std::vector<std::string>{"OK"});
}

TEST_F(MainWindowTest, ADisabledActionSaysWhyAndDoesNotGrowUnderThePointer) {
    start("usb-disks.json");
    DMBaseViewController* view = select("disk4s1");
    ASSERT_NE(view, nullptr);
    DMMacDockView* bar = view->actionBar();
    QToolButton* disabled = nullptr;
    QToolButton* enabled = nullptr;
    for (const auto& item : bar->items()) {
        QToolButton* button = bar->button(item.name);
        (button->isEnabled() ? enabled : disabled) = button;
        if (!button->isEnabled()) {
            EXPECT_TRUE(button->toolTip().startsWith(QString::fromStdString(item.name + ": "))) << item.name;
        } else {
            EXPECT_EQ(button->toolTip().toStdString(), item.name);
        }
    }
    ASSERT_NE(disabled, nullptr);
    ASSERT_NE(enabled, nullptr);
    const QSize resting = disabled->iconSize();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(disabled, &enter);
    EXPECT_EQ(disabled->iconSize(), resting);
    EXPECT_EQ(enabled->iconSize(), resting);
    QApplication::sendEvent(enabled, &enter);
    EXPECT_GT(enabled->iconSize().width(), resting.width());
    EXPECT_EQ(disabled->iconSize(), resting);
}

TEST_F(MainWindowTest, SelectingAVolumeKeepsTheSidebarWidthAndTheSmallestWindowDropsLabelsRatherThanOverlap) {
    start("usb-disks.json");
    QMainWindow* window = controller->window();
    window->show();
    QApplication::processEvents();
    const int sidebarWidth = sidebar().view()->width();
    DMBaseViewController* view = select("disk4s1");
    ASSERT_NE(view, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(sidebar().view()->width(), sidebarWidth);
    EXPECT_FALSE(view->actionBar()->isCompact());

    window->resize(window->minimumSize());
    QApplication::processEvents();
    EXPECT_TRUE(view->actionBar()->isCompact());
    EXPECT_GE(view->actionBar()->width(), view->actionBar()->minimumSizeHint().width());
    EXPECT_GE(sidebar().view()->width(), 240);
    window->hide();
}

TEST_F(MainWindowTest, WhenTheSelectedDriveGoesAwayTheFirstDriveLeftIsShownRatherThanABlankPane) {
    start("usb-disks.json");
    ASSERT_NE(select("disk5s1"), nullptr);
    ASSERT_TRUE(platform->removeDisk("disk5"));
    settle(1.0);
    ASSERT_NE(sidebar().selectedItem(), nullptr);
    EXPECT_EQ(sidebar().selectedItem()->identifier(), sidebar().displayedRows()[1]);
    EXPECT_NE(controller->currentViewController(), nullptr);
}

TEST(ViewControllerManagerKinds, AWholeDiskThatCarriesItsOwnFileSystemIsShownAsItsVolume) {
    DMDriveSnapshot systemDisk;
    systemDisk.category = DMDriveObjectCategory::local;
    systemDisk.physicalIsWhole = true;
    systemDisk.isWholeDiskVolume = true;
    EXPECT_EQ(DMViewControllerManager::kindOf(systemDisk), DMViewControllerManager::Kind::partition);
    // A partitioned disk, or one without a file system of its own, keeps the whole-disk view.
    DMDriveSnapshot partitioned = systemDisk;
    partitioned.isWholeDiskVolume = false;
    partitioned.logicalHasChildren = true;
    EXPECT_EQ(DMViewControllerManager::kindOf(partitioned), DMViewControllerManager::Kind::wholeDisk);
}

// A new user's first minutes: a machine with no drives says so instead of loading for ever,
// the drives that arrive later fill the tree, and acting on a drive leaves the keyboard in the tree.
TEST_F(MainWindowTest, AnEmptyMachineSaysSoAndActingOnADriveKeepsTheFocusInTheTree) {
    start("usb-hotplug.json");
    controller->showWindow();
    settle(0.5);
    EXPECT_EQ(controller->placeholderText(), "Loading drives...");
    settle(DMWindowController::discoveryWait);
    EXPECT_EQ(controller->placeholderText(), "No drives found");

    // The stick of the scenario arrives at 5 s and mounts at 7 s (it is ejected at 12 s).
    settle(3.5);
    ASSERT_TRUE(sidebar().showsDrives());
    DMBaseViewController* view = select("disk4s1");
    ASSERT_NE(view, nullptr);
    QTreeWidget* tree = sidebar().view();
    tree->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() != tree) {
        GTEST_SKIP() << "this display gives no window the keyboard focus";
    }
    view->actionBar()->button("Unmount")->click();
    settle(1.0);
    EXPECT_EQ(view->facts()[0].second, "Not Mounted");
    EXPECT_EQ(QApplication::focusWidget(), tree);
}

}  // namespace
}  // namespace harbormind
