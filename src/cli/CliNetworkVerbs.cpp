// The verbs for network drives: `network list`, `network add --name N --host H [--type T]
// [--user U] [--dir D] [--anonymous] [--password-stdin]`, `network connect DRIVE`,
// `network disconnect DRIVE`, `network remove DRIVE`, `network edit DRIVE [--name N]
// [--type T] [--folder F] [--user U] [--anonymous|--no-anonymous] [--password-stdin]`, each
// with `--json`. DRIVE is the drive's identifier (smb://user@host/share) or its name.
#include <CLI/CLI.hpp>

#include <map>
#include <memory>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "network/NetworkDriveCommands.h"

namespace harbormind {
namespace {

struct NetworkOptions {
    bool json = false;
    std::string drive;
    NetworkDriveCommands::NewDrive added;
    std::string type = "smb";
    bool passwordFromInput = false;
    // `network edit`: the texts given, by option name.
    std::map<std::string, std::string> edited;
    bool anonymous = false;
    bool notAnonymous = false;
};

template <typename Verb>
int runVerb(CliContext& context, const NetworkOptions& options, Verb verb) {
    if (!context.preparePlatform()) {
        return 1;
    }
    NetworkDriveCommands commands(context.out, options.json);
    return verb(commands);
}

int add(CliContext& context, const NetworkOptions& options) {
    NetworkDriveCommands::NewDrive drive = options.added;
    drive.type = NetworkDriveCommands::typeNamed(options.type);
    if (!drive.type) {
        return context.fail("network add: unknown type " + options.type + " (smb, afp, nfs, ftp or webdav)");
    }
    if (options.passwordFromInput) {
        drive.password = context.secret("Password: ");
        if (!drive.password) {
            return context.fail("network add: no password was given");
        }
    }
    return runVerb(context, options, [&drive](NetworkDriveCommands& commands) { return commands.add(drive); });
}

int edit(CliContext& context, const NetworkOptions& options) {
    NetworkDriveCommands::DriveEdit changes;
    auto given = [&options](const std::string& option) -> std::optional<std::string> {
        auto found = options.edited.find(option);
        return found == options.edited.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
    changes.name = given("name");
    changes.folder = given("folder");
    changes.userName = given("user");
    if (auto type = given("type")) {
        changes.type = NetworkDriveCommands::typeNamed(*type);
        if (!changes.type) {
            return context.fail("network edit: unknown type " + *type + " (smb, afp, nfs, ftp or webdav)");
        }
    }
    if (options.anonymous && options.notAnonymous) {
        return context.fail("network edit: --anonymous and --no-anonymous exclude each other");
    }
    if (options.anonymous || options.notAnonymous) {
        changes.anonymous = options.anonymous;
    }
    if (options.passwordFromInput) {
        changes.password = context.secret("Password: ");
        if (!changes.password) {
            return context.fail("network edit: no password was given");
        }
    }
    return runVerb(context, options,
                   [&options, &changes](NetworkDriveCommands& commands) { return commands.edit(options.drive, changes); });
}

void registerEditVerb(CLI::App& network, CliContext& context, const std::shared_ptr<NetworkOptions>& options) {
    CLI::App* editVerb = network.add_subcommand("edit", "change a saved network drive that is not connected");
    editVerb->add_option("drive", options->drive, "the drive's identifier or name")->required();
    const std::pair<const char*, const char*> texts[] = {
        {"name", "the name shown for the drive"},
        {"type", "smb, afp, nfs, ftp or webdav"},
        {"folder", "the server and shared folder, such as 192.168.0.100/documents or smb://server/share"},
        {"user", "the account on the server"},
    };
    for (const auto& [name, description] : texts) {
        std::string key = name;
        editVerb->add_option_function<std::string>(
            "--" + key, [options, key](const std::string& value) { options->edited[key] = value; }, description);
    }
    editVerb->add_flag("--anonymous", options->anonymous, "connect as a guest");
    editVerb->add_flag("--no-anonymous", options->notAnonymous, "connect with the account");
    editVerb->add_flag("--password-stdin", options->passwordFromInput, "read the new password from standard input");
    editVerb->add_flag("--json", options->json, "answer in JSON");
    editVerb->callback([&context, options] { context.exitStatus = edit(context, *options); });
}

}  // namespace

void registerNetworkVerbs(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<NetworkOptions>();
    CLI::App* network = app.add_subcommand("network", "list, save, connect and disconnect network drives");
    network->require_subcommand(1);

    CLI::App* list = network->add_subcommand("list", "show the network drives and their state");
    list->add_flag("--json", options->json, "answer in JSON");
    list->callback([&context, options] {
        context.exitStatus = runVerb(context, *options, [](NetworkDriveCommands& commands) { return commands.list(); });
    });

    CLI::App* addVerb = network->add_subcommand("add", "save a new network drive");
    addVerb->add_option("--name", options->added.name, "the name shown for the drive")->required();
    addVerb->add_option("--type", options->type, "smb, afp, nfs, ftp or webdav (default smb)");
    addVerb->add_option("--host", options->added.host, "the server, with :port when needed")->required();
    addVerb->add_option("--user", options->added.userName, "the account on the server");
    addVerb->add_option("--dir", options->added.dir, "the shared folder, such as /share");
    addVerb->add_flag("--anonymous", options->added.anonymous, "connect as a guest");
    addVerb->add_flag("--password-stdin", options->passwordFromInput, "read the password from standard input");
    addVerb->add_flag("--json", options->json, "answer in JSON");
    addVerb->callback([&context, options] { context.exitStatus = add(context, *options); });

    registerEditVerb(*network, context, options);

    for (const char* verb : {"connect", "disconnect", "remove"}) {
        std::string name = verb;
        CLI::App* command = network->add_subcommand(name, name + " a saved network drive");
        command->add_option("drive", options->drive, "the drive's identifier or name")->required();
        command->add_flag("--json", options->json, "answer in JSON");
        command->callback([&context, options, name] {
            context.exitStatus = runVerb(context, *options, [&options, &name](NetworkDriveCommands& commands) {
                if (name == "connect") {
                    return commands.connect(options->drive);
                }
                if (name == "disconnect") {
                    return commands.disconnect(options->drive);
                }
                return commands.remove(options->drive);
            });
        });
    }
}

}  // namespace harbormind
