#include "system/window/WindowFlows.h"

namespace harbormind::test {

void WindowFlows::add(const std::string& name, const std::string& usage, Flow flow) {
    flows_[name] = {usage, std::move(flow)};
}

const WindowFlows::Flow* WindowFlows::find(const std::string& name) const {
    auto found = flows_.find(name);
    return found == flows_.end() ? nullptr : &found->second.flow;
}

std::string WindowFlows::usage() const {
    std::string text = "usage: system_window_flow FLOW [ARGUMENTS...]\n";
    for (const auto& [name, entry] : flows_) {
        text += "  " + name + " " + entry.usage + "\n";
    }
    return text;
}

}  // namespace harbormind::test
