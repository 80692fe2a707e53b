#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "contract/ContractMachine.h"
#include "contract/RealContractMachine.h"
#include "contract/SimulatedContractMachine.h"

namespace harbormind::test {

enum class ContractSide { simulated, real };

inline std::string sideName(const testing::TestParamInfo<ContractSide>& info) {
    return info.param == ContractSide::simulated ? "Simulated" : "Real";
}

// One contract, run against both sides: what the simulated daemon the window tests use answers
// must be what the real daemon answers (the same calls accepted and refused, the same reports
// in the same order). A case that fails only for the simulated side means the window tests
// rely on something the real daemon never does.
class DaemonContractTest : public testing::TestWithParam<ContractSide> {
protected:
    void SetUp() override {
        if (GetParam() == ContractSide::simulated) {
            machine = std::make_unique<SimulatedContractMachine>();
            return;
        }
        const std::string why = RealContractMachine::unavailableReason();
        if (!why.empty()) {
            const char* required = std::getenv("HARBORMIND_REQUIRE_SYSTEM_TESTS");
            if (required != nullptr && std::string(required) == "1") {
                FAIL() << "the contract must run against the real daemon here, but " << why;
            }
            GTEST_SKIP() << why;
        }
        machine = std::make_unique<RealContractMachine>();
    }
    void TearDown() override { machine.reset(); }

    std::unique_ptr<ContractMachine> machine;
};

}  // namespace harbormind::test
