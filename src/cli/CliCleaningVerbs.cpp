// The cleaning verbs: `junk scan [--json]` and `usage PATH [--json] [--largest N] [--depth N]`.
#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cleaning/CleaningReport.h"
#include "cleaning/ClearTools.h"
#include "cleaning/FolderScanner.h"
#include "cli/CliContext.h"
#include "cli/CliJunkPlaces.h"
#include "cli/CliVerbGroups.h"
#include "platform/DirectoryWalker.h"
#include "platform/JunkLocations.h"
#include "platform/Platform.h"

namespace harbormind {
namespace {

struct UsageOptions {
    std::string path;
    bool json = false;
    std::size_t largest = 20;
    std::optional<std::size_t> depth;
};

int junkScan(CliContext& context, bool json) {
    auto places = CliJunkPlaces::find(context, "junk scan");
    if (!places) {
        return 1;
    }
    auto root = places->scan();
    context.out << (json ? CleaningReport::junkJson(*root, places->table) : CleaningReport::junkText(*root, places->table));
    return 0;
}

int usage(CliContext& context, const UsageOptions& options) {
    if (!context.preparePlatform()) {
        return 1;
    }
    DirectoryWalker* walker = Platform::current().directoryWalker();
    if (walker == nullptr) {
        return context.fail("usage: the " + Platform::current().name() + " platform cannot scan folders");
    }
    DirectoryWalker::Handle handle = walker->openFolder(options.path);
    if (handle == DirectoryWalker::invalidHandle) {
        return context.fail("usage: cannot open the folder " + options.path);
    }
    walker->close(handle);
    auto top = FolderScanner::scanPath(*walker, options.path, {});
    context.out << (options.json ? CleaningReport::usageJson(*top, options.depth)
                                 : CleaningReport::usageText(*top, options.largest));
    return 0;
}

}  // namespace

void registerCleaningVerbs(CLI::App& app, CliContext& context) {
    auto* junk = app.add_subcommand("junk", "junk files of the current user");
    junk->require_subcommand(1);
    auto* scan = junk->add_subcommand("scan", "scan the junk places and print each category with its size");
    auto junkJson = std::make_shared<bool>(false);
    scan->add_flag("--json", *junkJson, "print JSON instead of text");
    scan->callback([&context, junkJson] { context.exitStatus = junkScan(context, *junkJson); });

    auto options = std::make_shared<UsageOptions>();
    auto* command = app.add_subcommand("usage", "scan a folder or mounted drive and print what uses its space");
    command->add_option("PATH", options->path, "the folder to scan")->required();
    command->add_flag("--json", options->json, "print the tree with sizes as JSON");
    command->add_option("--largest", options->largest, "how many of the largest entries to print")
        ->capture_default_str();
    command->add_option("--depth", options->depth, "levels of the JSON tree below the folder (default: all)");
    command->callback([&context, options] { context.exitStatus = usage(context, *options); });
}

}  // namespace harbormind
