// The verbs that act on one local drive: mount, unmount, eject, open, lock, unlock DEVICE.
#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"

namespace harbormind {
namespace {


// Runs an operation and turns its completion code into the exit status.
int perform(CliContext& context, const std::string& verb, const std::string& device,
            const std::function<void(DMLocalDriveManager&, const std::shared_ptr<DMLocalDriveObject>&, DMCompletion)>& action) {
    auto drive = context.drive(device);
    if (!drive) {
        return 1;
    }
    std::optional<int> code;
    action(*context.manager(), drive, [&code](int value, std::optional<std::string>) { code = value; });
    if (!code) {
        return context.fail(verb + " " + device + ": the operation gave no answer");
    }
    if (*code != 0) {
        return context.fail(verb + " " + device + " failed (code " + std::to_string(*code) + ")");
    }
    return 0;
}

void addVerb(CLI::App& app, CliContext& context, const std::string& verb, const std::string& help,
             std::function<void(DMLocalDriveManager&, const std::shared_ptr<DMLocalDriveObject>&, DMCompletion)> action) {
    auto* command = app.add_subcommand(verb, help);
    auto device = std::make_shared<std::string>();
    command->add_option("DEVICE", *device, "the device name, such as sdb1 or disk4s1")->required();
    command->callback([&context, verb, device, action] { context.exitStatus = perform(context, verb, *device, action); });
}

}  // namespace

void registerDriveActionVerbs(CLI::App& app, CliContext& context) {
    addVerb(app, context, "mount", "mount a volume",
            [](DMLocalDriveManager& m, const auto& d, DMCompletion c) { m.mount(d, std::move(c)); });
    addVerb(app, context, "unmount", "unmount a volume, or every volume of a disk",
            [](DMLocalDriveManager& m, const auto& d, DMCompletion c) { m.unmount(d, std::move(c)); });
    addVerb(app, context, "eject", "eject a disk",
            [](DMLocalDriveManager& m, const auto& d, DMCompletion c) { m.eject(d, std::move(c)); });
    addVerb(app, context, "open", "open a mounted volume in the file browser",
            [](DMLocalDriveManager& m, const auto& d, DMCompletion c) { m.open(d, std::move(c)); });
    addVerb(app, context, "lock", "lock an encrypted volume",
            [](DMLocalDriveManager& m, const auto& d, DMCompletion c) { m.lock(d, std::move(c)); });

    // The password never comes from the command line: it would show in the process list.
    auto* unlock = app.add_subcommand("unlock", "unlock an encrypted volume (password from standard input or a prompt)");
    auto device = std::make_shared<std::string>();
    auto readOnly = std::make_shared<bool>(false);
    unlock->add_option("DEVICE", *device, "the device name")->required();
    unlock->add_flag("--read-only", *readOnly, "unlock without write access");
    unlock->callback([&context, device, readOnly] {
        auto drive = context.drive(*device);
        if (!drive) {
            context.exitStatus = 1;
            return;
        }
        std::optional<std::string> password = context.secret("Password for " + *device + ": ");
        if (!password) {
            context.exitStatus = context.fail("unlock " + *device + ": no password was given");
            return;
        }
        context.exitStatus = perform(context, "unlock", *device,
                                     [&](DMLocalDriveManager& m, const auto& d, DMCompletion c) {
                                         m.unlock(d, *password, *readOnly, std::move(c));
                                     });
    });
}

}  // namespace harbormind
