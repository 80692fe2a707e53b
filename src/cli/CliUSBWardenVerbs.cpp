// The verbs that turn "USB Warden" on and off: `usb status [--json]`, `usb enable`,
// `usb disable`. Passwords come from standard input or a prompt without echo, and meet the
// same checks, with the same messages, as in the application's windows.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "support/Dispatch.h"
#include "usbblocker/USBBlockerKeyChain.h"
#include "usbblocker/USBBlockerSwitch.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBPasswordRules.h"

namespace harbormind {
namespace {

USBBlockerSwitch makeSwitch() {
    return USBBlockerSwitch(std::make_shared<DMUSBBlockerWrapper>(), USBBlockerSettings::current());
}

std::string modeName(const USBBlockerSettings& settings) {
    return settings.model() == AllowDiskMountModel::OnlyAllowWhitelistMount ? USBBlockerTexts::modeWhiteListOnly
                                                                              : USBBlockerTexts::modeAsk;
}

int status(CliContext& context, bool json) {
    if (!context.preparePlatform()) {
        return 1;
    }
    USBBlockerSettings settings = USBBlockerSettings::current();
    std::optional<bool> value = settings.switchValue();
    std::string state = !value ? "never enabled" : *value ? "on" : "off";
    bool passwordSet = USBBlockerKeyChain::shared().password().has_value();
    if (json) {
        context.out << nlohmann::json{{"state", state}, {"mode", modeName(settings)}, {"passwordSet", passwordSet}}.dump(2)
                    << "\n";
    } else {
        context.out << "USB Warden: " << state << "\nmode: " << modeName(settings)
                    << "\npassword: " << (passwordSet ? "set" : "not set") << "\n";
    }
    return 0;
}

// The first password and its confirmation: two lines of standard input, or two prompts.
std::optional<std::pair<std::string, std::string>> readNewPassword(CliContext& context) {
    std::optional<std::string> first = context.secret("New password: ");
    if (!first) {
        return std::nullopt;
    }
    if (auto lineBreak = first->find('\n'); lineBreak != std::string::npos) {
        std::string confirmation = first->substr(lineBreak + 1);
        if (!confirmation.empty() && confirmation.back() == '\r') {
            confirmation.pop_back();
        }
        return std::pair{first->substr(0, lineBreak), confirmation};
    }
    std::optional<std::string> second = context.secret("Confirm password: ");
    return std::pair{*first, second.value_or("")};
}

// Runs the main queue until `done` or five seconds pass on the clock.
void runMainQueueUntil(const std::function<bool()>& done) {
    Dispatch::main().adoptCurrentThread();
    Dispatch::main().runUntil(done, seconds(5));
}

int enable(CliContext& context) {
    if (!context.preparePlatform()) {
        return 1;
    }
    USBBlockerSwitch blockerSwitch = makeSwitch();
    if (!blockerSwitch.settings().switchValue()) {
        auto password = readNewPassword(context);
        if (!password) {
            return context.fail(std::string("usb enable: ") + USBBlockerTexts::enterPassword);
        }
        if (auto error = USBPasswordRules::firstPasswordError(password->first, password->second)) {
            return context.fail("usb enable: " + *error);
        }
        if (!USBBlockerKeyChain::shared().setPassword(password->first)) {
            return context.fail("usb enable: the password could not be stored");
        }
    }
    std::optional<bool> loaded;
    if (!blockerSwitch.enable([&loaded](bool succeeded) { loaded = succeeded; })) {
        return context.fail(std::string("usb enable: ") + USBBlockerTexts::enableFailed);
    }
    runMainQueueUntil([&loaded] { return loaded.has_value(); });
    if (loaded != true) {
        return context.fail("usb enable: the agent's start-up file is in place, but the agent did not start");
    }
    context.out << USBBlockerTexts::enabled << "\n";
    return 0;
}

int disable(CliContext& context) {
    if (!context.preparePlatform()) {
        return 1;
    }
    std::optional<std::string> password = context.secret("Password: ");
    if (auto error = USBPasswordRules::stopError(password.value_or(""), USBBlockerKeyChain::shared().password())) {
        return context.fail("usb disable: " + *error);
    }
    std::optional<bool> unloaded;
    Dispatch::main().asyncAfter(seconds(USBBlockerSwitch::unloadDelay),
                                [&unloaded] { unloaded = USBBlockerSwitch::unloadAgent(); });
    runMainQueueUntil([&unloaded] { return unloaded.has_value(); });
    if (unloaded == true) {
        context.out << USBBlockerTexts::disabled << "\n";
    } else {
        context.err << USBBlockerTexts::disableFailed << "\n";
    }
    USBBlockerSwitch blockerSwitch = makeSwitch();
    if (!blockerSwitch.removeAgentFile()) {
        return context.fail("usb disable: the daemon did not remove the agent's start-up file");
    }
    context.out << USBBlockerTexts::stopped << "\n";
    return 0;
}

}  // namespace

void registerUSBWardenVerbs(CLI::App& usb, CliContext& context) {
    auto json = std::make_shared<bool>(false);
    CLI::App* statusVerb = usb.add_subcommand("status", "whether USB Warden is on, its mode, and whether a password is set");
    statusVerb->add_flag("--json", *json, "print JSON");
    statusVerb->callback([&context, json] { context.exitStatus = status(context, *json); });
    usb.add_subcommand("enable", "turn USB Warden on (the first time: a new password, twice)")
        ->callback([&context] { context.exitStatus = enable(context); });
    usb.add_subcommand("disable", "turn USB Warden off (its password from standard input or a prompt)")
        ->callback([&context] { context.exitStatus = disable(context); });
}

}  // namespace harbormind
