#include "platform/sim/SimRegistryCheck.h"

#include <map>
#include <set>

#include "platform/sim/SimScenarioError.h"

namespace harbormind {

void SimRegistryCheck::check(const SimScenario& scenario) {
    std::map<std::string, std::optional<std::string>> parents;
    auto add = [&](const std::string& key, const std::optional<std::string>& parent, const std::string& where) {
        if (parents.count(key) != 0) {
            SimScenarioError::fail(where, "registry key \"" + key + "\" is used twice");
        }
        parents[key] = parent;
    };
    for (std::size_t i = 0; i < scenario.registry.size(); ++i) {
        add(scenario.registry[i].key, scenario.registry[i].parent, "registry[" + std::to_string(i) + "]");
    }
    std::set<std::string> names;
    for (std::size_t i = 0; i < scenario.disks.size(); ++i) {
        const auto& disk = scenario.disks[i];
        if (!names.insert(disk.bsdName).second) {
            SimScenarioError::fail("disks[" + std::to_string(i) + "]", "BSD name \"" + disk.bsdName + "\" is used twice");
        }
        add(disk.mediaKey(), disk.registryParent, "disks[" + std::to_string(i) + "]");
    }
    // Disks added by events may reuse the keys of disks removed earlier.
    for (const auto& event : scenario.events) {
        if (event.action.kind == SimAction::Kind::AddDisk && parents.count(event.action.disk.mediaKey()) == 0) {
            parents[event.action.disk.mediaKey()] = event.action.disk.registryParent;
        }
    }
    auto checkOthers = [&](const std::string& key, const std::vector<std::string>& others) {
        for (const auto& other : others) {
            if (parents.count(other) == 0) {
                SimScenarioError::fail("registry", "\"" + key + "\" has an unknown parent \"" + other + "\"");
            }
            if (other == key) {
                SimScenarioError::fail("registry", "\"" + key + "\" is its own ancestor");
            }
        }
    };
    for (const auto& entry : scenario.registry) {
        checkOthers(entry.key, entry.otherParents);
    }
    for (const auto& disk : scenario.disks) {
        checkOthers(disk.mediaKey(), disk.otherRegistryParents);
    }
    for (const auto& [key, parent] : parents) {
        std::set<std::string> seen{key};
        std::optional<std::string> next = parent;
        while (next) {
            auto found = parents.find(*next);
            if (found == parents.end()) {
                SimScenarioError::fail("registry", "\"" + key + "\" has an unknown parent \"" + *next + "\"");
            }
            if (!seen.insert(*next).second) {
                SimScenarioError::fail("registry", "\"" + key + "\" is its own ancestor");
            }
            next = found->second;
        }
    }
}

}  // namespace harbormind
