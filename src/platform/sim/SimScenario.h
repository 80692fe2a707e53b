#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformValue.h"
#include "platform/sim/SimCommandRule.h"
#include "platform/sim/SimDiskDefinition.h"
#include "platform/sim/SimEvent.h"
#include "platform/sim/SimPathInfo.h"
#include "platform/sim/SimRegistryEntryDefinition.h"

namespace harbormind {

// A simulated machine as a scenario file describes it (docs/scenarios.md).
struct SimScenario {
    std::string name;
    std::vector<SimRegistryEntryDefinition> registry;
    std::vector<SimDiskDefinition> disks;
    std::vector<SimCommandRule> commands;
    std::vector<SimCommandRule> scripts;
    bool administratorGranted = true;
    std::vector<SimEvent> events;

    PlatformValue::Dictionary standardSettings;
    std::map<std::string, PlatformValue::Dictionary> settingsSuites;

    std::optional<std::string> userName = std::string("user");
    std::optional<std::string> userHome = std::string("/home/user");
    std::string processHome = "/home/user";
    std::map<std::string, std::string> environment;

    bool externalAdapter = true;

    bool workspaceOpens = true;
    std::vector<std::string> workspaceRefuses;
    std::string fullDiskAccessSettingsURL;
    std::string securitySettingsURL;

    std::map<std::string, SimPathInfo> paths;

    PlatformValue::Dictionary daemon;
    // Top-level sections this platform does not read, kept for the layers that do.
    PlatformValue::Dictionary otherSections;
};

}  // namespace harbormind
