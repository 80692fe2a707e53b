#pragma once

#include <memory>
#include <string>
#include <vector>

#include "contract/ContractMachine.h"
#include "system/support/LoopVolume.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/PrivateBus.h"

namespace harbormind::test {

// drivemanagerd on a private bus, serving this process (root) through the bus transport, with
// loop devices for disks. Tests using it need root and loop devices.
class RealContractMachine final : public ContractMachine {
public:
    // Why the real side cannot run here; empty when it can.
    static std::string unavailableReason();

    RealContractMachine();
    ~RealContractMachine() override;

    std::string addDisk(std::int64_t megabytes) override;
    void mount(const std::string& name) override;

private:
    std::string folder_;
    std::unique_ptr<PrivateBus> bus_;
    std::unique_ptr<ChildProcess> daemon_;
    std::vector<std::unique_ptr<LoopVolume>> loops_;
};

}  // namespace harbormind::test
