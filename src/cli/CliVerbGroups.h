#pragma once

namespace CLI {
class App;
}

namespace harbormind {

class CliContext;

// Each verb group adds its subcommands to the program; registerVerbGroups calls them all,
// one line per group.
void registerDriveListVerbs(CLI::App& app, CliContext& context);
void registerDriveActionVerbs(CLI::App& app, CliContext& context);
void registerDiskImageVerbs(CLI::App& app, CliContext& context);
void registerNetworkVerbs(CLI::App& app, CliContext& context);
void registerUSBVerbs(CLI::App& app, CliContext& context);
// `usb status|enable|disable`, under the `usb` command.
void registerUSBWardenVerbs(CLI::App& usb, CliContext& context);
void registerCleaningVerbs(CLI::App& app, CliContext& context);
void registerCloneVerbs(CLI::App& app, CliContext& context);
void registerDaemonVerbs(CLI::App& app, CliContext& context);
// After registerCleaningVerbs: adds "clean" to its "junk" group.
void registerCleanVerbs(CLI::App& app, CliContext& context);
void registerCheckVerb(CLI::App& app, CliContext& context);
void registerEncryptVerbs(CLI::App& app, CliContext& context);
void registerSettingsVerbs(CLI::App& app, CliContext& context);
void registerHealthVerbs(CLI::App& app, CliContext& context);
void registerEraseVerbs(CLI::App& app, CliContext& context);
void registerImageVerbs(CLI::App& app, CliContext& context);

void registerVerbGroups(CLI::App& app, CliContext& context);

}  // namespace harbormind
