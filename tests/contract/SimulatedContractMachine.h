#pragma once

#include <memory>

#include "contract/ContractMachine.h"

namespace harbormind {
class InProcessDaemon;
class SimPlatform;
}  // namespace harbormind

namespace harbormind::test {

// The window tests' machine: the simulated platform with no scripted daemon answers, and the
// in-process daemon reached through the in-process transport.
class SimulatedContractMachine final : public ContractMachine {
public:
    SimulatedContractMachine();
    ~SimulatedContractMachine() override;

    std::string addDisk(std::int64_t megabytes) override;
    void mount(const std::string& name) override;

private:
    std::shared_ptr<SimPlatform> platform_;
    std::shared_ptr<InProcessDaemon> daemon_;
    int disks_ = 0;
};

}  // namespace harbormind::test
