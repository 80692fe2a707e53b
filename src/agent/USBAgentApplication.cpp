#include "agent/USBAgentApplication.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "agent/USBAgentHost.h"
#include "agent/USBAgentNotificationQuestion.h"
#include "agent/USBAgentQuestionWindow.h"
#include "app/common/DMMainQueueBridge.h"
#include "platform/DiskArbitrationSession.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/linux/desktop/LinuxUSBBlockerPaths.h"
#include "platform/linux/files/LinuxFileContents.h"
#include "platform/linux/files/LinuxFileEvents.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/Notifications.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "platform/sim/SimPlatform.h"
#include "support/Dispatch.h"
#include "usbblocker/USBDiskList.h"
#include "xpc/XPCTransport.h"

namespace harbormind {
namespace {

struct AgentOptions {
    std::string platform = "linux";
    std::string scenario;
    std::string lists;
    bool controlOnStdin = false;
};

// Takes our options out of the arguments; the rest is Qt's.
AgentOptions takeOptions(int argc, char** argv, std::vector<char*>& qtArguments) {
    AgentOptions options;
    for (int index = 0; index < argc; ++index) {
        std::string word = argv[index];
        bool hasValue = index + 1 < argc;
        if (word == "--platform" && hasValue) {
            options.platform = argv[++index];
        } else if (word == "--scenario" && hasValue) {
            options.scenario = argv[++index];
        } else if (word == "--lists" && hasValue) {
            options.lists = argv[++index];
        } else if (word == "--control-on-stdin") {
            options.controlOnStdin = true;
        } else {
            qtArguments.push_back(argv[index]);
        }
    }
    return options;
}

// Started by the user's service manager, the agent may come up before the desktop's display
// (or in a session without one): it then runs without windows rather than not at all.
void runWithoutDisplayWhereThereIsNone() {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
}

// Where no window can be shown, the question comes as a notification with buttons. Tests
// answer the windows through standard input, offscreen.
std::shared_ptr<USBAgentQuestion> questionFor(const AgentOptions& options,
                                              std::shared_ptr<USBAgentQuestionWindows> windows) {
    const QString qtPlatform = QGuiApplication::platformName();
    bool windowsShow = options.controlOnStdin || (qtPlatform != "offscreen" && qtPlatform != "minimal");
    Notifications* notifications = Platform::current().notifications();
    if (windowsShow || !notifications) {
        return windows;
    }
    return USBAgentNotificationQuestion::create(*notifications);
}

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// The lists, in the file the options name (a real file, even on the simulated machine, so
// other processes can change it) or where the platform keeps them.
USBDiskList& agentLists(const AgentOptions& options) {
    if (options.lists.empty()) {
        return USBDiskList::shared();
    }
    static LinuxFileContents files;
    static LinuxFileEvents events;
    USBDiskListServices services = USBDiskList::platformServices();
    LinuxUSBBlockerPaths paths(options.lists);
    services.files = &files;
    services.fileEvents = &events;
    services.savePath = paths.listsFilePath();
    services.watchedFolder = paths.watchedFolder();
    static USBDiskList lists(services);
    return lists;
}

// Says "lists changed N white" each time the lists were re-read after their file changed.
class ListsChangeReport final : public USBDiskListDelegate {
public:
    explicit ListsChangeReport(const USBDiskList& lists) : lists_(lists) {}
    void diskListDidChange() override {
        say("lists changed " + std::to_string(lists_.whiteList().size()) + " white");
    }

private:
    const USBDiskList& lists_;
};

// Reads control lines from standard input, and says what a controlling test would otherwise
// have to poll for: "volume NAME mounted" or "unmounted", from the main queue (after the
// answers given before the change), and every re-read of the lists.
class StdinControl {
public:
    StdinControl(std::shared_ptr<SimPlatform> sim, std::shared_ptr<USBAgentQuestionWindows> questions,
                 USBDiskList& lists)
        : sim_(std::move(sim)), notifier_(STDIN_FILENO, QSocketNotifier::Read) {
        questions->shown = [this](const std::string& bsdName, USBAgentQuestionWindow* window) {
            open_ = window;
            say("asking " + bsdName);
        };
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { readLine(); });
        lists.addDelegate(std::make_shared<ListsChangeReport>(lists));
        if (sim_) {
            session_ = sim_->diskArbitration().createSession();
            session_->setDispatchQueue(Dispatch::mainQueue());
            session_->registerDiskDescriptionChanged(
                [this](const DADisk& disk, const std::vector<std::string>& keys) { reportMount(disk, keys); });
        }
    }

private:
    void reportMount(const DADisk& disk, const std::vector<std::string>& keys) {
        if (std::find(keys.begin(), keys.end(), DiskDescriptionKey::volumePath) == keys.end()) {
            return;
        }
        auto description = sim_->description(disk.bsdName());
        bool mounted = description && description->path(DiskDescriptionKey::volumePath);
        say("volume " + disk.bsdName() + (mounted ? " mounted" : " unmounted"));
    }

    void readLine() {
        char buffer[512];
        ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            notifier_.setEnabled(false);
            QApplication::quit();
            return;
        }
        pending_.append(buffer, static_cast<std::size_t>(count));
        for (auto end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            perform(line);
        }
    }

    void perform(const std::string& line) {
        if (line.rfind("mount ", 0) == 0 && sim_) {
            std::string bsdName = line.substr(6);
            say((sim_->mountVolume(bsdName) ? "refused " : "mounted ") + bsdName);
        } else if ((line == "allow" || line == "block") && open_) {
            (line == "allow" ? open_->btnAllow : open_->btnBlock)->click();
        } else if (line == "mounted?" && sim_) {
            // Reports which volumes of the machine are mounted now.
            std::string mounted = "volumes";
            for (const std::string& name : sim_->diskNames()) {
                auto description = sim_->description(name);
                if (description && description->path(DiskDescriptionKey::volumePath)) {
                    mounted += " " + name;
                }
            }
            say(mounted);
        }
    }

    std::shared_ptr<SimPlatform> sim_;
    std::shared_ptr<DiskArbitrationSession> session_;
    QSocketNotifier notifier_;
    QPointer<USBAgentQuestionWindow> open_;
    std::string pending_;
};

}  // namespace

int USBAgentApplication::run(int argc, char** argv) {
    std::vector<char*> qtArguments;
    AgentOptions options = takeOptions(argc, argv, qtArguments);
    runWithoutDisplayWhereThereIsNone();
    int qtArgc = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);
    QApplication application(qtArgc, qtArguments.data());
    QApplication::setQuitOnLastWindowClosed(false);
    DMMainQueueBridge::install();

    std::shared_ptr<SimPlatform> sim;
    if (options.platform == "sim") {
        SimLoadResult loaded = SimPlatform::load(options.scenario);
        if (!loaded) {
            std::fprintf(stderr, "%s: %s\n", options.scenario.c_str(), loaded.error.c_str());
            return 2;
        }
        sim = loaded.platform;
        Platform::setCurrent(sim);
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(
            std::make_shared<InProcessDaemon>(sim->daemonAnswers())));
    } else {
        Platform::setCurrent(std::make_shared<LinuxPlatform>());
    }

    auto questions = std::make_shared<USBAgentQuestionWindows>();
    USBDiskList& lists = agentLists(options);
    std::unique_ptr<StdinControl> control;
    if (options.controlOnStdin) {
        control = std::make_unique<StdinControl>(sim, questions, lists);
    }
    auto host = std::make_shared<USBAgentHost>(questionFor(options, questions), USBBlockerSettings::current(), lists,
                                               DriveTools::shared(),
                                               Platform::current().diskArbitration().createSession());
    host->engine().setDelegate(host);
    if (sim) {
        sim->start();
    }
    say("ready");
    int status = QApplication::exec();
    DMMainQueueBridge::uninstall();
    Platform::shutDownAll();
    return status;
}

}  // namespace harbormind
