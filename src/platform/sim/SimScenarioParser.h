#pragma once

#include <optional>
#include <string>

#include "platform/sim/SimAction.h"
#include "platform/sim/SimDiskDefinition.h"
#include "platform/sim/SimScenario.h"

namespace harbormind {

// Reads scenario files. Any input, however broken, gives a scenario or an error text that
// says where the problem is; nothing throws out of here.
class SimScenarioParser {
public:
    static std::optional<SimScenario> parse(const std::string& text, std::string& error);
    // A single disk or action in scenario form, for tests that build machines in code.
    static std::optional<SimDiskDefinition> parseDisk(const std::string& text, std::string& error);
    static std::optional<SimAction> parseAction(const std::string& text, std::string& error);
    static std::optional<SimCommandRule> parseRule(const std::string& text, std::string& error);
};

}  // namespace harbormind
