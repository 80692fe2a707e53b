#include "cli/NetworkCommands.h"

#include <iostream>
#include <memory>
#include <string>

#include "network/NetworkDriveCommands.h"

namespace harbormind {
namespace {

struct NetworkOptions {
    bool json = false;
    std::string drive;
    NetworkDriveCommands::NewDrive added;
    std::string type = "smb";
    bool passwordFromInput = false;
};

// Runs a verb; a failure ends the program with the verb's status.
template <typename Verb>
void runVerb(const NetworkOptions& options, Verb verb) {
    NetworkDriveCommands commands(std::cout, options.json);
    int status = verb(commands);
    if (status != 0) {
        throw CLI::RuntimeError(status);
    }
}

}  // namespace

void registerNetworkCommands(CLI::App& app) {
    auto options = std::make_shared<NetworkOptions>();
    CLI::App* network = app.add_subcommand("network", "Saved and connected network drives");
    network->require_subcommand(1);
    network->add_flag("--json", options->json, "Answer in JSON");

    network->add_subcommand("list", "List the network drives and their state")->callback([options] {
        runVerb(*options, [](NetworkDriveCommands& commands) { return commands.list(); });
    });

    CLI::App* add = network->add_subcommand("add", "Save a new network drive");
    add->add_option("--name", options->added.name, "Name shown for the drive")->required();
    add->add_option("--type", options->type, "smb, afp, nfs, ftp or webdav")->default_val("smb");
    add->add_option("--host", options->added.host, "Server, with :port when needed")->required();
    add->add_option("--user", options->added.userName, "Account on the server");
    add->add_option("--dir", options->added.dir, "Shared folder on the server, such as /share");
    add->add_flag("--anonymous", options->added.anonymous, "Connect as a guest");
    add->add_flag("--password-stdin", options->passwordFromInput,
                  "Read the password from the first line of standard input");
    add->callback([options] {
        NetworkDriveCommands::NewDrive drive = options->added;
        drive.type = NetworkDriveCommands::typeNamed(options->type);
        if (!drive.type) {
            throw CLI::ValidationError("--type", "unknown type " + options->type);
        }
        if (options->passwordFromInput) {
            std::string password;
            std::getline(std::cin, password);
            drive.password = password;
        }
        runVerb(*options, [&drive](NetworkDriveCommands& commands) { return commands.add(drive); });
    });

    for (const char* verb : {"connect", "disconnect", "remove"}) {
        CLI::App* command = network->add_subcommand(verb, std::string(verb) + " a network drive");
        command->add_option("drive", options->drive, "The drive's identifier or name")->required();
        std::string name = verb;
        command->callback([options, name] {
            runVerb(*options, [&options, &name](NetworkDriveCommands& commands) {
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
