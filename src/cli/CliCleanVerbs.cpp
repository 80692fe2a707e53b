// The deleting cleaning verbs: `junk clean [CATEGORY...] [--yes]` and
// `clear PATH --select GLOB... [--yes]`. Both show what will go and ask first.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cleaning/ClearTools.h"
#include "cleaning/DMDeleteFaileRecord.h"
#include "cleaning/DriveClearTarget.h"
#include "cleaning/FileDeleter.h"
#include "cleaning/FolderScanner.h"
#include "cleaning/FolderTreeNode.h"
#include "support/DMByteCountFormatter.h"
#include "cli/CliCleanSelection.h"
#include "cli/CliContext.h"
#include "cli/CliJunkPlaces.h"
#include "cli/CliVerbGroups.h"
#include "cli/PathGlob.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "platform/DeviceNaming.h"
#include "platform/DirectoryWalker.h"
#include "platform/JunkLocations.h"
#include "platform/Platform.h"
#include "support/DMByteCountFormatter.h"

namespace harbormind {
namespace {

// The junk window marks the user caches to begin with.
constexpr const char* defaultJunkCategory = "userCache";

struct JunkCleanOptions {
    std::vector<std::string> categories;
    bool yes = false;
};

struct ClearOptions {
    std::string path;
    std::vector<std::string> globs;
    bool yes = false;
};

// Runs the pass, then reports what stayed; 0 only when every marked entry is gone.
template <typename Pass>
int deleteAndReport(CliContext& context, const std::string& verb, FolderTreeNode* top, const CliCleanSelection& selection,
                    Pass&& pass, const FolderTreeNode* except = nullptr) {
    DMDeleteFaileRecord record;
    pass(record);
    std::vector<std::string> failed = selection.failures(top, except);
    if (failed.empty()) {
        context.out << "Deleted " << selection.amount().fileCount << " files and " << selection.amount().folderCount
                    << " folders.\n";
        return 0;
    }
    std::map<std::string, std::string> reasons;
    for (const auto& failure : record.failures) {
        reasons.emplace(failure.path, failure.reason);
    }
    context.out << "Deleted " << record.deletedFiles << " files and " << record.deletedFolders << " folders ("
                << DMByteCountFormatter::string(record.deletedBytes) << ").\n";
    context.err << "harbormindctl: " << verb << ": " << failed.size() << " entries could not be deleted:\n";
    for (const std::string& path : failed) {
        auto reason = reasons.find(path);
        context.err << "  " << path << (reason != reasons.end() ? ": " + reason->second : std::string()) << "\n";
    }
    return 1;
}

const JunkCategory* findCategory(const std::vector<JunkCategory>& table, const std::string& name) {
    auto same = [&name](const std::string& other) {
        return std::equal(name.begin(), name.end(), other.begin(), other.end(),
                          [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                      std::tolower(static_cast<unsigned char>(b)); });
    };
    for (const JunkCategory& category : table) {
        if (same(category.key) || same(category.displayName)) {
            return &category;
        }
    }
    return nullptr;
}

int junkClean(CliContext& context, const JunkCleanOptions& options) {
    auto places = CliJunkPlaces::find(context, "junk clean");
    if (!places) {
        return 1;
    }
    const std::vector<JunkCategory>& table = places->table;
    std::vector<std::string> keys;
    for (const std::string& name : options.categories.empty() ? std::vector<std::string>{defaultJunkCategory}
                                                              : options.categories) {
        const JunkCategory* category = findCategory(table, name);
        if (category == nullptr) {
            std::string known;
            for (const JunkCategory& entry : table) {
                known += (known.empty() ? "" : ", ") + entry.key;
            }
            return context.fail("junk clean: no category " + name + " (one of " + known + ")");
        }
        keys.push_back(category->key);
    }
    auto root = places->scan();
    for (FolderTreeNode* category : root->childs) {
        if (std::find(keys.begin(), keys.end(), category->strFolderName()) != keys.end()) {
            FolderTreeNode::updateChildStatus(category, FolderTreeNode::statusMarked);
        }
    }
    CliCleanSelection selection(root.get(), 2);
    if (selection.empty()) {
        context.out << "Nothing to clean: the chosen categories hold 1 M or less.\n";
        return 0;
    }
    context.out << CliCleanSelection::listing(root.get(), 2) << selection.amountLine() << "\n";
    if (!CliCleanSelection::confirm(context, options.yes)) {
        return context.fail("junk clean: nothing was deleted");
    }
    return deleteAndReport(context, "junk clean", root.get(), selection, [&](DMDeleteFaileRecord& record) {
        FileDeleter(*places->walker, record).junkPass(root.get());
    });
}

std::shared_ptr<DMLocalDriveObject> driveMountedAt(CliContext& context, const std::string& path) {
    auto manager = context.manager();
    if (!manager) {
        return nullptr;
    }
    for (const auto& [name, drive] : manager->driveObjs()) {
        auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
        auto mountPoint = local ? local->mountPoint() : std::nullopt;
        if (mountPoint && DriveClearTarget::normalised(*mountPoint) == path) {
            return local;
        }
    }
    return nullptr;
}

void markMatches(FolderTreeNode* top, const std::vector<std::string>& globs) {
    const std::string base = top->fullpath();
    std::vector<FolderTreeNode*> pending(top->childs.begin(), top->childs.end());
    while (!pending.empty()) {
        FolderTreeNode* node = pending.back();
        pending.pop_back();
        std::string path = node->fullpath();
        std::string relative = path.size() > base.size() ? path.substr(base.size() + 1) : path;
        bool chosen = std::any_of(globs.begin(), globs.end(), [&](const std::string& glob) {
            return PathGlob::matchesEntry(glob, node->strFolderName(), relative);
        });
        if (chosen) {
            FolderTreeNode::updateChildStatus(node, FolderTreeNode::statusMarked);
        } else {
            pending.insert(pending.end(), node->childs.begin(), node->childs.end());
        }
    }
    CliCleanSelection::settleStatuses(top);
}

int clear(CliContext& context, const ClearOptions& options) {
    if (!context.preparePlatform()) {
        return 1;
    }
    Platform& platform = Platform::current();
    DirectoryWalker* walker = platform.directoryWalker();
    if (walker == nullptr) {
        return context.fail("clear: the " + platform.name() + " platform cannot scan folders");
    }
    const std::string path = DriveClearTarget::normalised(options.path);
    auto drive = driveMountedAt(context, path);
    auto verdict = DriveClearTarget::check(path, drive ? drive->mountPoint() : std::nullopt,
                                           ClearTools::getUserPath(platform.users()), platform.deviceNaming(), *walker);
    if (verdict != DriveClearTarget::Verdict::allowed) {
        return context.fail("clear " + path + ": refused: " + DriveClearTarget::describe(verdict));
    }
    auto top = FolderScanner::scanPath(*walker, path, {});
    markMatches(top.get(), options.globs);
    CliCleanSelection selection(top.get());
    if (selection.empty()) {
        context.out << "Nothing in " << path << " matches.\n";
        return 0;
    }
    context.out << CliCleanSelection::listing(top.get()) << selection.amountLine() << "\n";
    if (!CliCleanSelection::confirm(context, options.yes)) {
        return context.fail("clear: nothing was deleted");
    }
    // The mount point itself is never one of the chosen entries, even when every entry is.
    return deleteAndReport(
        context, "clear", top.get(), selection,
        [&](DMDeleteFaileRecord& record) { FileDeleter(*walker, record).driveClearPass(top.get()); }, top.get());
}

}  // namespace

void registerCleanVerbs(CLI::App& app, CliContext& context) {
    auto subcommands = app.get_subcommands([](const CLI::App* sub) { return sub->get_name() == "junk"; });
    if (!subcommands.empty()) {
        CLI::App* junk = subcommands.front();
        auto options = std::make_shared<JunkCleanOptions>();
        auto* clean = junk->add_subcommand(
            "clean", "delete the junk of the given categories (default: userCache), after showing it and asking");
        clean->add_option("CATEGORY", options->categories, "category keys or names, such as userCache or Trash");
        clean->add_flag("--yes", options->yes, "do not ask");
        clean->callback([&context, options] { context.exitStatus = junkClean(context, *options); });
    }
    auto options = std::make_shared<ClearOptions>();
    auto* command = app.add_subcommand(
        "clear", "delete the entries matching the patterns on a drive, given by its mount point, after asking");
    command->add_option("PATH", options->path, "the mount point of the drive")->required();
    command->add_option("--select", options->globs, "a pattern: a name (*.iso) or a path below PATH (old/**)")
        ->required();
    command->add_flag("--yes", options->yes, "do not ask");
    command->callback([&context, options] { context.exitStatus = clear(context, *options); });
}

}  // namespace harbormind
