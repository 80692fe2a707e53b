#pragma once

#include "platform/ProcessLauncher.h"

namespace harbormind::test {

// Runs real programs for the tests that talk to real servers.
class TestProcessLauncher final : public ProcessLauncher {
public:
    ProcessResult run(const std::string& launchPath, const std::vector<std::string>& arguments,
                      const std::optional<std::string>& input = std::nullopt) override;
};

}  // namespace harbormind::test
