#include "contract/SimulatedContractMachine.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/Platform.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "platform/sim/SimPlatform.h"
#include "xpc/XPCTransport.h"

namespace harbormind::test {

SimulatedContractMachine::SimulatedContractMachine() {
    platform_ = SimPlatform::empty();
    Platform::setCurrent(platform_);
    daemon_ = std::make_shared<InProcessDaemon>(platform_->daemonAnswers());
    XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon_));
}

SimulatedContractMachine::~SimulatedContractMachine() {
    XPCTransport::setCurrent(nullptr);
}

std::string SimulatedContractMachine::addDisk(std::int64_t megabytes) {
    const std::string name = "disk" + std::to_string(10 + disks_++);
    nlohmann::json disk{{"bsdName", name},
                        {"description",
                         {{"DAMediaSize", megabytes << 20},
                          {"DAMediaWhole", true},
                          {"DAVolumeKind", "ext4"},
                          {"DAVolumeName", "CONTRACT"},
                          {"DADeviceInternal", false},
                          {"DADeviceProtocol", "USB"}}}};
    EXPECT_TRUE(platform_->addDisk(disk.dump())) << disk.dump();
    return name;
}

void SimulatedContractMachine::mount(const std::string& name) {
    EXPECT_FALSE(platform_->mountVolume(name).has_value()) << name;
}

}  // namespace harbormind::test
