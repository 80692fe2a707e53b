// Every contract case runs once against each side.
#include "contract/DaemonContractTest.h"

namespace harbormind::test {

INSTANTIATE_TEST_SUITE_P(Sides, DaemonContractTest, testing::Values(ContractSide::simulated, ContractSide::real),
                         sideName);

}  // namespace harbormind::test
