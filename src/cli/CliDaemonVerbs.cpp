// `daemon status [--json]`: whether the helper daemon answers, its version and which of its
// services answer. Exit status 0 only when every service answers.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "xpc/dbus/DBusDaemonStatus.h"
#include "xpc/XPCServiceName.h"
#include "xpc/XPCTransport.h"

namespace harbormind {
namespace {

// The simulated platform's daemon lives in this process; a service answers unless the
// scenario refuses its connections.
DBusDaemonStatus simulatedStatus(const InProcessXPCTransport& transport) {
    DBusDaemonStatus status;
    status.version = "simulated";
    for (const char* name : XPCServiceName::all) {
        bool answers = transport.daemon()->behaviour(InProcessXPCTransport::serviceKey(name)) !=
                       InProcessDaemonBehaviour::failConnection;
        status.services.emplace_back(name, answers);
        status.reachable = status.reachable || answers;
    }
    return status;
}

int status(CliContext& context, bool json) {
    if (!context.preparePlatform()) {
        return 1;
    }
    auto inProcess = std::dynamic_pointer_cast<InProcessXPCTransport>(XPCTransport::current());
    DBusDaemonStatus found = inProcess ? simulatedStatus(*inProcess) : DBusDaemonStatus::probe();
    bool allAnswer = found.reachable;
    for (const auto& [name, answers] : found.services) {
        allAnswer = allAnswer && answers;
    }
    if (json) {
        nlohmann::json services = nlohmann::json::object();
        for (const auto& [name, answers] : found.services) {
            services[name] = answers;
        }
        nlohmann::json out = {{"reachable", found.reachable}, {"version", found.version}, {"services", services}};
        if (!found.reachable) {
            out["error"] = found.error;
        }
        context.out << out.dump(2) << "\n";
    } else if (found.reachable) {
        context.out << "drivemanagerd " << found.version << " is running\n";
        for (const auto& [name, answers] : found.services) {
            context.out << name << ": " << (answers ? "answers" : "does not answer") << "\n";
        }
    } else {
        context.out << "drivemanagerd is not reachable: " << found.error << "\n";
    }
    return allAnswer ? 0 : 1;
}

}  // namespace

void registerDaemonVerbs(CLI::App& app, CliContext& context) {
    CLI::App* daemon = app.add_subcommand("daemon", "the helper daemon drivemanagerd");
    daemon->require_subcommand(1);
    auto json = std::make_shared<bool>(false);
    CLI::App* statusVerb = daemon->add_subcommand("status", "whether the daemon answers, its version and services");
    statusVerb->add_flag("--json", *json, "print JSON");
    statusVerb->callback([&context, json] { context.exitStatus = status(context, *json); });
}

}  // namespace harbormind
