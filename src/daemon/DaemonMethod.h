#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "daemon/ArgumentRole.h"
#include "daemon/DaemonAction.h"
#include "daemon/DaemonBackend.h"
#include "daemon/DaemonCallContext.h"
#include "daemon/DaemonValue.h"
#include "xpc/XPCInterface.h"

namespace harbormind {

// One method of one service: its bus signature, what it does (for authorization), what its
// arguments are (for checking), the answer a refused or failed call gets, and how it reaches
// the backend. A method without `output` sends no reply.
struct DaemonMethod {
    using Invoke = std::function<void(DaemonBackend&, const DaemonCallContext&, const std::vector<DaemonValue>&,
                                      DaemonReply)>;

    std::string serviceName;
    std::string name;
    std::string input;
    std::string output;
    DaemonAction action = DaemonAction::query;
    std::vector<ArgumentRole> roles;  // one per argument
    std::optional<DaemonValue> defaultAnswer;
    Invoke invoke;
    // For a method whose refusal answer cannot say why (a bare false): tells the caller's
    // callbacks the reason, before that answer is sent.
    std::function<void(const std::shared_ptr<XPCInterface>& callbacks, const std::string& reason)> refusalNotice = nullptr;

    bool replies() const { return !output.empty(); }
};

}  // namespace harbormind
