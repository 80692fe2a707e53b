#include "cli/HarbormindCtl.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>
#include <vector>
#include <ostream>

#include "BuildConfiguration.h"
#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "support/Log.h"
#include "support/PrintableText.h"

namespace harbormind {

int runParsed(CLI::App& app, const std::vector<std::string>& arguments, CliContext& context, std::ostream& out,
              std::ostream& err);

void registerVerbGroups(CLI::App& app, CliContext& context) {
    registerDriveListVerbs(app, context);
    registerDriveActionVerbs(app, context);
    registerDiskImageVerbs(app, context);
    registerCheckVerb(app, context);
    registerEncryptVerbs(app, context);
    registerNetworkVerbs(app, context);
    registerUSBVerbs(app, context);
    registerCleaningVerbs(app, context);
    registerCloneVerbs(app, context);
    registerCleanVerbs(app, context);
    registerDaemonVerbs(app, context);
    registerSettingsVerbs(app, context);
    registerHealthVerbs(app, context);
    registerEraseVerbs(app, context);
    registerImageVerbs(app, context);
}

namespace {

// Letters to change, insert, delete or swap to turn one word into the other.
std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (std::size_t j = 0; j <= b.size(); ++j) {
        d[0][j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

// The first word that is not an option of the program itself: the verb the user typed.
std::optional<std::string> typedVerb(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word == "--platform" || word == "--scenario") {
            ++i;
            continue;
        }
        if (!word.starts_with("-")) {
            return word;
        }
    }
    return std::nullopt;
}

// The verb nearest to a mistyped one, when it is near enough to be meant.
std::optional<std::string> nearestVerb(const CLI::App& app, const std::string& typed) {
    std::optional<std::string> best;
    std::size_t bestDistance = 3;
    for (const CLI::App* verb : app.get_subcommands([](const CLI::App*) { return true; })) {
        std::size_t distance = editDistance(typed, verb->get_name());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = verb->get_name();
        }
    }
    return best;
}

}  // namespace

int runHarbormindctl(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                     std::istream& in, std::function<std::optional<std::string>(const std::string&)> readSecret,
                     std::shared_ptr<Platform> platform, bool secretTyped) {
    CliContext context(out, err, in);
    context.readSecret = std::move(readSecret);
    context.secretTyped = secretTyped;
    context.givenPlatform = std::move(platform);
    CLI::App app{"harbormindctl: local drives from the command line", "harbormindctl"};
    app.fallthrough();
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("harbormindctl ") + BuildConfiguration::version);
    app.add_option("--platform", context.platformName, "linux (the default) or sim");
    app.add_option("--scenario", context.scenarioPath, "the scenario file of the simulated platform");
    bool verbose = false;
    app.add_flag("--verbose", verbose, "also print warnings (such as an unreachable helper daemon)");
    registerVerbGroups(app, context);

    std::optional<std::string> verb = typedVerb(arguments);
    const bool asksVersionOrHelp = std::any_of(arguments.begin(), arguments.end(), [](const std::string& word) {
        return word == "--version" || word == "--help" || word == "-h";
    });
    if (!verb && asksVersionOrHelp) {
        return runParsed(app, arguments, context, out, err);
    }
    if (!verb || *verb == "help") {
        (verb ? out : err) << app.help();
        return verb ? 0 : 2;
    }
    auto named = app.get_subcommands([&verb](const CLI::App* command) { return command->get_name() == *verb; });
    if (named.empty()) {
        err << "harbormindctl: unknown command \"" << PrintableText::escaped(*verb) << "\"";
        if (auto nearest = nearestVerb(app, *verb)) {
            err << "; did you mean \"" << *nearest << "\"?";
        }
        err << "\nRun \"harbormindctl help\" for the list of commands.\n";
        return 2;
    }
    // Warnings (a helper daemon that is not running, asked about every disk) are for
    // --verbose; what matters to a verb reaches the user through the verb's own error.
    if (std::find(arguments.begin(), arguments.end(), "--verbose") != arguments.end()) {
        verbose = true;
    }
    LogLevel previousLevel = Log::level();
    if (!verbose && previousLevel < LogLevel::Error) {
        Log::setLevel(LogLevel::Error);
    }
    int status = runParsed(app, arguments, context, out, err);
    Log::setLevel(previousLevel);
    return status;
}

int runParsed(CLI::App& app, const std::vector<std::string>& arguments, CliContext& context, std::ostream& out,
              std::ostream& err) {
    // CLI11 takes the arguments in reverse order.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return 0;
    } catch (const CLI::ParseError& error) {
        err << "harbormindctl: " << error.what() << "\n";
        return 2;
    }
    return context.exitStatus;
}

}  // namespace harbormind
