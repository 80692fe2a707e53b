// drivemanagerd: the privileged helper daemon on the system bus.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "daemon/DaemonBusServer.h"
#include "daemon/DaemonGuard.h"
#include "daemon/PolkitAuthorizer.h"
#include "daemon/SimDaemonBackend.h"
#include "daemon/SyntaxOnlyDeviceCheck.h"
#include "daemon/linux/BlockDeviceCheck.h"
#include "daemon/linux/DaemonConfigFile.h"
#include "daemon/linux/LinuxDaemonBackend.h"
#include "daemon/linux/LocalAuthorizationRules.h"
#include "daemon/linux/TerminationSignal.h"
#include "platform/sim/SimPlatform.h"

using namespace harbormind;

namespace {

struct Options {
    std::string platform = "linux";
    std::string scenario;
    std::string config = DaemonConfigFile::defaultPath;
    std::string mediaRoot = "/media";
    std::string luksHeaders = "/var/lib/kestrane/luks";
    unsigned luksIterTime = 0;
    std::string usbAgentUnit;
    std::string usbLists = "/var/lib/kestrane/usbblocker.cnf";
    std::string usbWardenImages;
    std::string stateFolder = "/run/kestrane/drivemanagerd";
    std::string cloneMaps = "/var/lib/kestrane/clone";
};

int fail(const std::string& message) {
    std::cerr << "drivemanagerd: " << message << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app{"drivemanagerd: the helper daemon of Kestrane Harbormind"};
    app.add_option("--platform", options.platform, "linux (this machine) or sim (a scenario's answers)")
        ->check(CLI::IsMember({"linux", "sim"}));
    app.add_option("--scenario", options.scenario, "the scenario file for --platform sim");
    app.add_option("--config", options.config, "the configuration file");
    app.add_option("--media-root", options.mediaRoot, "where users' media folders are made (default /media)")
        ->check([](const std::string& path) { return !path.empty() && path[0] == '/' ? "" : "an absolute path"; });
    app.add_option("--luks-headers", options.luksHeaders,
                   "where detached LUKS2 headers are kept (default /var/lib/kestrane/luks)")
        ->check([](const std::string& path) { return !path.empty() && path[0] == '/' ? "" : "an absolute path"; });
    app.add_option("--luks-iter-time", options.luksIterTime,
                   "milliseconds each LUKS2 key slot's key derivation takes (default: cryptsetup's 2000)");
    app.add_option("--usb-agent-unit", options.usbAgentUnit,
                   "where the USB blocker agent's user unit is installed (default: the system's user units)")
        ->check([](const std::string& path) { return !path.empty() && path[0] == '/' ? "" : "an absolute path"; });
    app.add_option("--usb-lists", options.usbLists,
                   "the USB lists file; USB Warden's state is kept beside it (default /var/lib/kestrane/usbblocker.cnf)")
        ->check([](const std::string& path) { return !path.empty() && path[0] == '/' ? "" : "an absolute path"; });
    app.add_option("--usb-warden-images", options.usbWardenImages,
                   "USB Warden guards loop devices whose image lies in this folder as USB disks (for trials and tests)")
        ->check([](const std::string& path) { return !path.empty() && path[0] == '/' ? "" : "an absolute path"; });
    app.add_option("--state-dir", options.stateFolder,
                   "where the daemon keeps what lasts until the machine restarts (default /run/kestrane/drivemanagerd)")
        ->check([](const std::string& path) { return !path.empty() && path[0] == '/' ? "" : "an absolute path"; });
    app.add_option("--clone-maps", options.cloneMaps,
                   "where the maps of interrupted clones are kept (default /var/lib/kestrane/clone)")
        ->check([](const std::string& path) { return !path.empty() && path[0] == '/' ? "" : "an absolute path"; });
    app.set_version_flag("--version", HARBORMIND_VERSION);
    CLI11_PARSE(app, argc, argv);
    if ((options.platform == "sim") != !options.scenario.empty()) {
        return fail("--scenario FILE goes with --platform sim, and only with it");
    }

    TerminationSignal::block();
    std::shared_ptr<DaemonBackend> backend;
    std::shared_ptr<DeviceArgumentCheck> devices;
    if (options.platform == "sim") {
        SimLoadResult loaded = SimPlatform::load(options.scenario);
        if (!loaded) {
            return fail(options.scenario + ": " + loaded.error);
        }
        backend = std::make_shared<SimDaemonBackend>(std::make_shared<InProcessDaemon>(loaded.platform->daemonAnswers()));
        devices = std::make_shared<SyntaxOnlyDeviceCheck>();
    } else {
        auto linuxBackend = std::make_shared<LinuxDaemonBackend>(options.mediaRoot, options.luksHeaders,
                                                                 options.luksIterTime, options.usbAgentUnit,
                                                                 options.stateFolder);
        LinuxUSBWarden::Options warden;
        warden.listsFile = options.usbLists;
        warden.guardedImageFolder = options.usbWardenImages;
        linuxBackend->configureUSBWarden(std::move(warden));
        linuxBackend->configureClone(options.cloneMaps);
        backend = linuxBackend;
        devices = std::make_shared<BlockDeviceCheck>();
    }

    std::unique_ptr<sdbus::IConnection> connection;
    try {
        connection = sdbus::createSystemBusConnection();
    } catch (const sdbus::Error& failure) {
        return fail("cannot connect to the system bus: " + failure.getMessage());
    }
    sdbus::IConnection& bus = *connection;
    auto rules = std::make_shared<LocalAuthorizationRules>(DaemonConfigFile::read(options.config).group);
    auto guard = std::make_shared<DaemonGuard>(std::make_shared<PolkitAuthorizer>(bus, rules), devices);
    // Without its bus the daemon is of no use: it ends, and its service manager starts it again.
    DaemonBusServer server(std::move(connection), backend, guard, HARBORMIND_VERSION, [] { TerminationSignal::raise(); });
    std::string error;
    if (!server.start(error)) {
        return fail(error);
    }
    TerminationSignal::wait();
    server.stop();
    // Jobs still running hold no state worth saving; end without tearing down under them.
    std::fflush(nullptr);
    std::_Exit(0);
}
