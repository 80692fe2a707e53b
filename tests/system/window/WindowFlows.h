#pragma once

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace harbormind::test {

class WindowFlowContext;

// The flows the window flow program knows, by name. A flow drives the window as a user would
// and answers a JSON report of what the window showed; the system test that ran it judges it.
class WindowFlows {
public:
    using Flow = std::function<nlohmann::json(WindowFlowContext& context, const std::vector<std::string>& arguments)>;

    void add(const std::string& name, const std::string& usage, Flow flow);
    const Flow* find(const std::string& name) const;
    std::string usage() const;

private:
    struct Entry {
        std::string usage;
        Flow flow;
    };
    std::map<std::string, Entry> flows_;
};

// Each file of flows registers its own; add a file with one line in main.cpp.
void registerDiskToolsFlows(WindowFlows& flows);
void registerDriveActionFlows(WindowFlows& flows);
void registerEncryptionFlows(WindowFlows& flows);
void registerFirstAidFlows(WindowFlows& flows);
void registerUSBBlockerFlows(WindowFlows& flows);
void registerUninstallFlows(WindowFlows& flows);

}  // namespace harbormind::test
