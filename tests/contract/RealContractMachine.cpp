#include "contract/RealContractMachine.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "system/support/KernelMounts.h"
#include "testsupport/WholeFile.h"
#include "xpc/XPCServiceName.h"
#include "xpc/XPCTransport.h"
#include "xpc/dbus/DBusXPCTransport.h"

namespace harbormind::test {

namespace fs = std::filesystem;

std::string RealContractMachine::unavailableReason() {
    if (::geteuid() != 0) {
        return "the real daemon's side needs root (loop devices, the daemon as root)";
    }
    if (!fs::exists("/dev/loop-control")) {
        return "no loop devices here";
    }
    return {};
}

RealContractMachine::RealContractMachine() {
    char pattern[] = "/tmp/harbormind-contract-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    std::string error;
    bus_ = PrivateBus::start(error);
    if (!bus_) {
        ADD_FAILURE() << error;
        return;
    }
    fs::create_directories(folder_ + "/media");
    fs::create_directories(folder_ + "/usb");
    daemon_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{HARBORMIND_DAEMON_PATH, "--config", folder_ + "/none.conf", "--media-root",
                                 folder_ + "/media", "--luks-headers", folder_ + "/luks", "--luks-iter-time", "50",
                                 "--usb-agent-unit", folder_ + "/units/harbormind-usbagent.service", "--usb-lists",
                                 folder_ + "/usb/usbblocker.cnf", "--state-dir", folder_ + "/state",
                                 "--clone-maps", folder_ + "/clone"},
        std::map<std::string, std::string>{{"DBUS_SYSTEM_BUS_ADDRESS", bus_->address()}}, nullptr,
        folder_ + "/daemon.log");
    for (const char* name : XPCServiceName::all) {
        EXPECT_TRUE(bus_->waitForName(name)) << name << ": " << readWholeFile(folder_ + "/daemon.log");
    }
    XPCTransport::setCurrent(std::make_shared<DBusXPCTransport>());
}

RealContractMachine::~RealContractMachine() {
    XPCTransport::setCurrent(nullptr);
    if (daemon_) {
        daemon_->signal(SIGTERM);
        daemon_->waitExit(std::chrono::seconds(10));
        daemon_.reset();
    }
    bus_.reset();
    loops_.clear();
    KernelMounts::unmountBelow(folder_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::string RealContractMachine::addDisk(std::int64_t megabytes) {
    const std::string place = folder_ + "/disk" + std::to_string(loops_.size());
    fs::create_directories(place);
    LoopVolumeOrder order;
    order.label = "CONTRACT";
    order.megabytes = megabytes;
    std::string error;
    auto loop = LoopVolume::create(place, order, error);
    if (!loop) {
        ADD_FAILURE() << error;
        return "loop-missing";
    }
    loops_.push_back(std::move(loop));
    return loops_.back()->volume();
}

void RealContractMachine::mount(const std::string& name) {
    const std::string point = folder_ + "/mnt-" + name;
    fs::create_directories(point);
    EXPECT_EQ(::mount(("/dev/" + name).c_str(), point.c_str(), "ext4", 0, nullptr), 0) << name;
}

}  // namespace harbormind::test
