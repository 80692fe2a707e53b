// The verbs that act on one local drive: mount, unmount, eject, open, lock, unlock DEVICE.
#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLuksWrapper.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/PrintableText.h"

namespace harbormind {
namespace {


// What a user whom the helper daemon refused can do.
std::string notAllowedHint(const std::string& verb) {
    return "Your account is not allowed to " + verb +
           " this drive. Ask an administrator, or see \"man harbormindctl\" (ACCESS).";
}

// Runs an operation and turns its completion code into the exit status.
int perform(CliContext& context, const std::string& verb, const std::string& device,
            const std::function<void(DMLocalDriveManager&, const std::shared_ptr<DMLocalDriveObject>&, DMCompletion)>& action) {
    auto drive = context.drive(device);
    if (!drive) {
        return 1;
    }
    std::optional<int> code;
    std::optional<std::string> message;
    action(*context.manager(), drive, [&](int value, std::optional<std::string> text) {
        code = value;
        message = std::move(text);
    });
    if (!code) {
        return context.fail(verb + " " + device + ": the operation gave no answer");
    }
    if (*code != 0) {
        std::string reason = message && !message->empty() ? ": " + *message : " (code " + std::to_string(*code) + ")";
        if (*code == DMLocalDriveManager::busyCode && verb == "unmount") {
            reason += " (unmount --force detaches it anyway; programs writing to it lose what they write)";
        }
        if (message && message->find("not authorized") != std::string::npos) {
            reason += ". " + notAllowedHint(verb);
        }
        return context.fail(verb + " " + device + " failed" + reason);
    }
    return 0;
}

// A volume whose LUKS2 header the daemon keeps apart carries no signature the drive model
// knows: the daemon's encrypted-volume service unlocks and locks it.
bool detachedLuks(const DMLocalDriveObject& drive, DMLuksWrapper& luks) {
    switch (drive.fileSystem()) {
        case DMDriveObjectFilesystem::luks:
        case DMDriveObjectFilesystem::bitlocker_encrypted:
        case DMDriveObjectFilesystem::apfs_encrypted:
        case DMDriveObjectFilesystem::corestorage:
            return false;
        default:
            return luks.isLuksDrive(drive.identifier());
    }
}

int reportLuks(CliContext& context, const std::string& verb, const std::string& device, const XPCCodeAnswer& answer) {
    if (answer.code != 0) {
        return context.fail(verb + " " + device + " failed: " + answer.message);
    }
    context.out << PrintableText::escaped(answer.message) << "\n";
    return 0;
}

// `device` receives the verb's DEVICE argument; a caller that replaces the callback keeps it
// alive in its own callback, since the option writes there while parsing.
CLI::App* addVerb(CLI::App& app, CliContext& context, const std::string& verb, const std::string& help,
             std::function<void(DMLocalDriveManager&, const std::shared_ptr<DMLocalDriveObject>&, DMCompletion)> action,
             std::shared_ptr<std::string> device = std::make_shared<std::string>()) {
    auto* command = app.add_subcommand(verb, help);
    command->add_option("DEVICE", *device, "the device name, such as sdb1 or disk4s1")->required();
    command->callback([&context, verb, device, action] { context.exitStatus = perform(context, verb, *device, action); });
    return command;
}

}  // namespace

void registerDriveActionVerbs(CLI::App& app, CliContext& context) {
    addVerb(app, context, "mount", "mount a volume",
            [&context](DMLocalDriveManager& m, const auto& d, DMCompletion c) {
                m.mount(d, [&context, d, c = std::move(c)](int code, std::optional<std::string> message) {
                    if (code == 0) {
                        std::string where = d->mountPoint().value_or("its mount point");
                        context.out << "Mounted " << PrintableText::escaped(d->identifier()) << " at "
                                    << PrintableText::escaped(where) << "\n";
                    }
                    c(code, std::move(message));
                });
            });
    auto unmountDevice = std::make_shared<std::string>();
    auto* unmount = addVerb(
        app, context, "unmount", "unmount a volume, or every volume of a disk",
        [](DMLocalDriveManager& m, const auto& d, DMCompletion c) { m.unmount(d, std::move(c)); }, unmountDevice);
    // A volume in use stays mounted unless the user asks for this.
    auto force = std::make_shared<bool>(false);
    unmount->add_flag("--force", *force, "detach the volume even while programs use it");
    unmount->callback([&context, unmountDevice, force] {
        const std::string device = *unmountDevice;
        DMUnmountOption option = *force ? DMUnmountOption::force : DMUnmountOption::plain;
        context.exitStatus = perform(context, "unmount", device, [option](DMLocalDriveManager& m, const auto& d, DMCompletion c) {
            m.unmount(d, option, std::move(c));
        });
    });
    addVerb(app, context, "eject", "eject a disk",
            [](DMLocalDriveManager& m, const auto& d, DMCompletion c) { m.eject(d, std::move(c)); });
    addVerb(app, context, "open", "open a mounted volume in the file browser",
            [](DMLocalDriveManager& m, const auto& d, DMCompletion c) { m.open(d, std::move(c)); });
    auto lockDevice = std::make_shared<std::string>();
    auto* lock = addVerb(
        app, context, "lock", "lock an encrypted volume",
        [](DMLocalDriveManager& m, const auto& d, DMCompletion c) { m.lock(d, std::move(c)); }, lockDevice);
    lock->callback([&context, lockDevice] {
        const std::string device = *lockDevice;
        auto drive = context.drive(device);
        auto luks = DMLuksWrapper::create();
        if (drive && detachedLuks(*drive, *luks)) {
            context.exitStatus = reportLuks(context, "lock", device, luks->lock(drive->identifier()));
            return;
        }
        context.exitStatus = perform(context, "lock", device, [](DMLocalDriveManager& m, const auto& d, DMCompletion c) {
            m.lock(d, std::move(c));
        });
    });

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
        auto luks = DMLuksWrapper::create();
        if (detachedLuks(*drive, *luks)) {
            context.exitStatus = reportLuks(context, "unlock", *device, luks->unlock(drive->identifier(), *password, *readOnly));
            return;
        }
        context.exitStatus = perform(context, "unlock", *device,
                                     [&](DMLocalDriveManager& m, const auto& d, DMCompletion c) {
                                         m.unlock(d, *password, *readOnly, std::move(c));
                                     });
    });
}

}  // namespace harbormind
