#include "cli/HarbormindCtl.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"

namespace harbormind {

void registerVerbGroups(CLI::App& app, CliContext& context) {
    registerDriveListVerbs(app, context);
    registerDriveActionVerbs(app, context);
    registerCheckVerb(app, context);
    registerNetworkVerbs(app, context);
    registerUSBVerbs(app, context);
    registerCleaningVerbs(app, context);
    registerCleanVerbs(app, context);
    registerDaemonVerbs(app, context);
}

int runHarbormindctl(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                     std::istream& in, std::function<std::optional<std::string>(const std::string&)> readSecret,
                     std::shared_ptr<Platform> platform) {
    CliContext context(out, err, in);
    context.readSecret = std::move(readSecret);
    context.givenPlatform = std::move(platform);
    CLI::App app{"harbormindctl: local drives from the command line", "harbormindctl"};
    app.fallthrough();
    app.require_subcommand(1);
    app.add_option("--platform", context.platformName, "linux (the default) or sim");
    app.add_option("--scenario", context.scenarioPath, "the scenario file of the simulated platform");
    registerVerbGroups(app, context);

    // CLI11 takes the arguments in reverse order.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& error) {
        err << "harbormindctl: " << error.what() << "\n";
        return 2;
    }
    return context.exitStatus;
}

}  // namespace harbormind
