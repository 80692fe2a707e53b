// How long the window's main thread stalls in the heavy moments of its life.
//
//   window_latency_bench [--tree DIR] [--moments a,b,...]
//
// Drives the real main window offscreen, with the main queue run from Qt's event loop as in the
// application, and a latency probe posting to the main queue every 4 ms. For each moment it
// prints the longest stall, the 99th percentile and the median of how late the probe ran. The
// drives and the daemon are simulated (the simulated platform and the in-process daemon): 128
// disks appearing at once, the sidebar filtered while they are listed, First Aid streaming a
// checker's 100,000 lines, a clone reporting progress 20,000 times, a network connect that gets
// no answer.
// With --tree, the drive clear window scans DIR (a real folder; make one with
// `cleaning_bench generate`), shows its tree with every top folder open, then marks and unmarks
// everything; the window's peak memory is printed beside the tree's own.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/cleaning/CDDriveClearFileTreeView.h"
#include "app/cleaning/CDDriveClearTreeModel.h"
#include "app/cleaning/CDDriveClearViewController.h"
#include "app/common/DMAlertPresenter.h"
#include "app/clone/DMDeviceCloneFlow.h"
#include "app/clone/DMDeviceCloneProgressWndController.h"
#include "app/clone/DMDeviceCloneWndController.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/drives/DMDriveManagerOperations.h"
#include "app/drives/DMDriveSnapshotLoader.h"
#include "app/firstaid/DMFirstAidWindowController.h"
#include "app/common/DMMainQueueBridge.h"
#include "app/widgets/DMSearchField.h"
#include "app/shell/DMSidebarViewController.h"
#include "app/shell/DMWindowController.h"
#include "cleaning/DMFileScanManager.h"
#include "cleaning/FolderTreeNode.h"
#include "drivemodel/DMCloneTexts.h"
#include "drivemodel/DMDriveManager.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "network/DMNetworkDriveManager.h"
#include "network/DMNetworkDriveObject.h"
#include "network/DMNetworkDriveType.h"
#include "platform/linux/files/LinuxDirectoryWalker.h"
#include "platform/PlatformValue.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "platform/sim/SimNetworkMounter.h"
#include "platform/sim/SimPlatform.h"
#include "support/Dispatch.h"
#include "support/MainQueueLatencyProbe.h"
#include "xpc/XPCTransport.h"

using namespace harbormind;

namespace {

using Steady = std::chrono::steady_clock;
constexpr int diskCount = 128;
constexpr int cloneReports = 20000;

class SilentPresenter final : public DMAlertPresenter {
public:
    void present(const DMAlert&, QWidget*, Reply reply) override {
        if (reply) {
            reply(0);
        }
    }
};

double secondsSince(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

// Runs Qt's event loop (which runs the main queue) until `done` holds or `limit` seconds pass.
bool runUntil(const std::function<bool()>& done, double limit) {
    auto start = Steady::now();
    while (!done()) {
        if (secondsSince(start) > limit) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents, 50);
    }
    return true;
}

void idle(double seconds) {
    runUntil([] { return false; }, seconds);
}

long peakKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long currentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

std::string diskJson(int index) {
    std::string name = "disk" + std::to_string(100 + index);
    std::ostringstream json;
    json << R"j({"bsdName":")j" << name << R"j(","registryName":"Stick )j" << index
         << R"j( Media","properties":{"Whole":true,"Size":8053063680,"Removable":true,"Ejectable":true},)j"
         << R"j("description":{"DAMediaName":"Stick )j" << index
         << R"j( Media","DAMediaSize":8053063680,"DAMediaWhole":true,"DAMediaLeaf":true,"DAMediaEjectable":true,)j"
         << R"j("DAMediaRemovable":true,"DAMediaWritable":true,"DAMediaEncrypted":false,"DAVolumeName":"STICK)j" << index
         << R"j(","DAVolumeKind":"msdos","DAVolumeType":"MS-DOS (FAT32)","DADeviceInternal":false,)j"
         << R"j("DADeviceProtocol":"USB","DAMediaContent":"DOS_FAT_32"}})j";
    return json.str();
}

class Bench {
public:
    explicit Bench(std::set<std::string> moments) : moments_(std::move(moments)) {}

    int run(const std::string& tree) {
        DMMainQueueBridge::install();
        probe_ = std::make_unique<MainQueueLatencyProbe>(Dispatch::mainQueue());
        probe_->start();
        startWindow();
        if (wanted("disks")) {
            measure("128 disks appear at once", [this] { addDisks(); }, [this] { return listed(); }, 60);
        }
        if (wanted("filter")) {
            filterSidebar();
        }
        if (wanted("firstaid")) {
            firstAid();
        }
        if (wanted("clone")) {
            cloneWithProgress();
        }
        if (wanted("network")) {
            networkWithoutAnswer();
        }
        if (!tree.empty() && wanted("scan")) {
            scan(tree);
        }
        probe_->stop();
        std::printf("goal: longest stall at most 50 ms and p99 under 16 ms in every moment\n");
        return failures_ == 0 ? 0 : 1;
    }

private:
    bool wanted(const std::string& moment) const { return moments_.empty() || moments_.count(moment) > 0; }

    void startWindow() {
        platform_ = SimPlatform::empty();
        platform_->start();
        Platform::setCurrent(platform_);
        daemon_ = std::make_shared<InProcessDaemon>(cloneAnswers());
        daemon_->setFirstAidRunner([this](const std::vector<std::string>&, InProcessDaemon::FirstAidSender send) {
            std::lock_guard lock(senderMutex_);
            sender_ = std::move(send);
        });
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon_));
        presenter_ = std::make_shared<SilentPresenter>();
        controller_ = DMWindowController::create(std::make_shared<DMDriveManagerOperations>(nullptr), presenter_, nullptr);
        manager_ = DMLocalDriveManager::create(controller_);
        DMDriveManager::shared().setDelegate(controller_);
        DMDriveManager::shared().registerManager(manager_, "");
        controller_->window()->resize(1100, 700);
        controller_->showWindow();
        idle(0.5);
    }

    // Measures one moment: `begin`, then the event loop until `done` and a quiet half second.
    void measure(const std::string& name, const std::function<void()>& begin, const std::function<bool()>& done,
                 double limit) {
        idle(0.2);
        probe_->reset();
        auto start = Steady::now();
        begin();
        bool finished = runUntil(done, limit);
        double took = secondsSince(start);
        idle(0.5);
        report(name, took, finished);
    }

    void report(const std::string& name, double took, bool finished) {
        MainQueueLatencyProbe::Summary summary = probe_->summary();
        bool met = summary.longest <= std::chrono::milliseconds(50) && summary.p99 < std::chrono::milliseconds(16);
        std::printf("%-44s %s  (%.2f s%s)%s\n", name.c_str(), MainQueueLatencyProbe::describe(summary).c_str(), took,
                    finished ? "" : ", DID NOT FINISH", met ? "" : "  OVER GOAL");
        std::fflush(stdout);
        failures_ += finished ? 0 : 1;
    }

    void addDisks() {
        for (int i = 0; i < diskCount; ++i) {
            platform_->addDisk(diskJson(i));
        }
    }

    bool listed() {
        DMSidebarViewController& sidebar = *controller_->sidebarViewController();
        return sidebar.itemFor("disk" + std::to_string(100 + diskCount - 1)) != nullptr &&
               sidebar.itemFor("disk100") != nullptr && DMDriveSnapshotLoader::pending() == 0;
    }

    static bool shows(DMSidebarViewController& sidebar, const std::string& identifier) {
        std::vector<std::string> rows = sidebar.displayedRows();
        return DMDriveSnapshotLoader::pending() == 0 && std::find(rows.begin(), rows.end(), identifier) != rows.end();
    }

    // Types a filter a key at a time, as a person does, then clears it.
    void filterSidebar() {
        DMSearchField* search = controller_->searchField();
        DMSidebarViewController& sidebar = *controller_->sidebarViewController();
        measure(
            "sidebar filtered with 128 disks listed",
            [&] {
                for (const char* text : {"s", "st", "sti", "stick", "stick 1"}) {
                    search->setText(text);
                    idle(0.12);
                }
            },
            [&] { return shows(sidebar, "disk101") && !shows(sidebar, "disk100"); }, 20);
        measure("sidebar filter cleared", [&] { search->setText(""); }, [&] { return shows(sidebar, "disk100"); }, 20);
    }

    void firstAid() {
        auto drive = manager_->driveObjs().at("disk100");
        controller_->driveActionManager()->perform(DMDriveAction::firstAid, drive, controller_->window());
        runUntil([this] { std::lock_guard lock(senderMutex_); return static_cast<bool>(sender_); }, 10);
        InProcessDaemon::FirstAidSender send;
        {
            std::lock_guard lock(senderMutex_);
            send = sender_;
        }
        if (!send) {
            std::printf("First Aid did not start\n");
            ++failures_;
            return;
        }
        std::thread flood;
        auto sheet = controller_->driveActionManager()->checkDiskWindowController();
        measure(
            "First Aid streams 100,000 lines",
            [&] {
                flood = std::thread([send] {
                    send("", 0);
                    for (int line = 1; line <= 100000; ++line) {
                        send("line " + std::to_string(line) + "\n", 1);
                    }
                    send("", 3);
                });
            },
            [&] { return sheet->completeButton()->isEnabled(); }, 120);
        flood.join();
        sheet->close();
    }

    // 20,000 progress reports of a clone onto any device, then its end, sent in one burst.
    static PlatformValue::Dictionary cloneAnswers() {
        PlatformValue::Array reports;
        for (int step = 1; step <= cloneReports; ++step) {
            reports.push_back(PlatformValue::Array{3, cloneReports, step, 0});
        }
        reports.push_back(PlatformValue::Array{4, cloneReports, cloneReports, 0});
        PlatformValue::Dictionary clone{{"updateProgressWithStatus", PlatformValue::Dictionary{{"*", reports}}}};
        return {{"deviceClone", clone}};
    }

    void cloneWithProgress() {
        DMDriveActionManager& actions = *controller_->driveActionManager();
        actions.perform(DMDriveAction::clone, manager_->driveObjs().at("disk100"), controller_->window());
        DMDeviceCloneFlow& flow = *actions.deviceCloneFlow();
        if (!runUntil([&] { return flow.deviceCloneWndController() != nullptr; }, 10)) {
            std::printf("the clone picker did not open\n");
            ++failures_;
            return;
        }
        measure(
            "clone reporting progress 20,000 times",
            [&] {
                flow.deviceCloneWndController()->selectRow(0);
                flow.deviceCloneWndController()->btnStartClone->click();
            },
            [&] {
                auto* sheet = flow.deviceCloneProgressWndController();
                return sheet != nullptr && sheet->lbTitle->text().toStdString() == DMCloneTexts::completed;
            },
            60);
    }

    // A saved share whose server never answers: the connect waits in the background while
    // the window goes on (the simulated mounter answers only after a minute).
    void networkWithoutAnswer() {
        platform_->simNetworkMounter().setMountDelay(std::chrono::seconds(60));
        network_ = DMNetworkDriveManager::create(controller_);
        DMDriveManager::shared().registerManager(network_, "");
        auto share = network_->makeDriveObject(DMNetworkDriveType::smb);
        share->setName("Silent");
        share->setHost("127.0.0.9");
        share->setUserName("ann");
        share->setDir("/share");
        share->setSaved(true);
        share->refreshIdentifier();
        network_->add(share);
        controller_->driveAdded(share);
        idle(0.5);
        auto started = Steady::now();
        measure(
            "network connect that gets no answer",
            [&] {
                controller_->sidebarViewController()->select(share->identifier());
                controller_->driveActionManager()->perform(DMDriveAction::mount, share, controller_->window());
            },
            [&] { return secondsSince(started) > 3; }, 10);
    }

    void scan(const std::string& tree) {
        LinuxDirectoryWalker walker;
        DMFileScanManager scans(&walker);
        CDDriveClearViewController view(scans, presenter_, nullptr, nullptr);
        view.resize(980, 600);
        view.show();
        idle(0.3);
        long before = currentKiB();
        measure("scan in the drive clear window", [&] { view.start(tree); },
                [&] { return view.fileTreeOutlineView()->root() != nullptr; }, 600);
        std::shared_ptr<FolderTreeNode> root = view.fileTreeOutlineView()->root();
        long withTree = currentKiB();
        CDDriveClearFileTreeView* treeView = view.fileTreeOutlineView();
        CDDriveClearTreeModel* model = treeView->treeModel();
        const QModelIndex top = model->index(0, 0, {});
        measure(
            "tree open: top and its folders expanded",
            [&] {
                treeView->expand(top);
                for (int row = 0; row < model->rowCount(top); ++row) {
                    treeView->expand(model->index(row, 0, top));
                }
            },
            [] { return true; }, 10);
        measure("everything marked", [&] { model->setData(top, Qt::Checked, Qt::CheckStateRole); },
                [&] { return !treeView->isSpreading(); }, 120);
        measure("everything unmarked", [&] { model->setData(top, Qt::Unchecked, Qt::CheckStateRole); },
                [&] { return !treeView->isSpreading(); }, 120);
        long long nodes = root->iFileCount + root->iFolderCount + 1;
        std::printf("memory: window peak %.1f MiB with %d disks and a tree of %lld entries; the tree %.1f MiB "
                    "(%.0f bytes per entry)\n",
                    peakKiB() / 1024.0, diskCount, nodes, (withTree - before) / 1024.0,
                    (withTree - before) * 1024.0 / static_cast<double>(nodes));
    }

    std::set<std::string> moments_;
    std::unique_ptr<MainQueueLatencyProbe> probe_;
    std::shared_ptr<SimPlatform> platform_;
    std::shared_ptr<InProcessDaemon> daemon_;
    std::shared_ptr<SilentPresenter> presenter_;
    std::shared_ptr<DMWindowController> controller_;
    std::shared_ptr<DMLocalDriveManager> manager_;
    std::shared_ptr<DMNetworkDriveManager> network_;
    std::mutex senderMutex_;
    InProcessDaemon::FirstAidSender sender_;
    int failures_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    std::string tree;
    std::set<std::string> moments;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--tree") {
            tree = argv[i + 1];
        } else if (option == "--moments") {
            std::stringstream list(argv[i + 1]);
            for (std::string name; std::getline(list, name, ',');) {
                moments.insert(name);
            }
        } else {
            std::fprintf(stderr, "usage: %s [--tree DIR] [--moments disks,filter,firstaid,clone,network,scan]\n", argv[0]);
            return 2;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    return Bench(moments).run(tree);
}
