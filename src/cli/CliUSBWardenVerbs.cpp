// The verbs that turn "USB Warden" on and off: `usb status [--json]`, `usb enable`,
// `usb disable`, `usb mode ask|whitelist`. The daemon keeps the Warden and checks its
// password; passwords come from standard input or a prompt without echo, and meet the same
// checks, with the same messages, as in the application's windows. The exit status is 0 only
// when what was asked for is done.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliEnglish.h"
#include "cli/CliVerbGroups.h"
#include "support/Dispatch.h"
#include "usbblocker/USBBlockerSwitch.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBPasswordRules.h"
#include "xpc/DMUSBBlockerServerProtocol.h"

namespace harbormind {
namespace {

// The mode as `--json` names it: the system's own words, which scripts compare.
std::string modeName(int mode) {
    return mode == USBWardenState::whiteListOnly ? USBBlockerTexts::modeWhiteListOnly : USBBlockerTexts::modeAsk;
}

// A text shared with the window, in the words a person reads.
std::string said(const std::string& text) { return CliEnglish::of(text); }

int status(CliContext& context, bool json) {
    if (!context.preparePlatform()) {
        return 1;
    }
    std::optional<USBWardenState> state = DMUSBBlockerWrapper().state();
    if (!state) {
        return context.fail("usb status: " + said(USBBlockerTexts::daemonSilent));
    }
    std::string onOff = state->on ? "on" : state->passwordSet ? "off" : "never enabled";
    if (json) {
        context.out << nlohmann::json{{"state", onOff}, {"mode", modeName(state->mode)},
                                      {"passwordSet", state->passwordSet}}
                           .dump(2)
                    << "\n";
    } else {
        context.out << "USB Warden: " << onOff << "\nmode: " << said(modeName(state->mode))
                    << "\npassword: " << (state->passwordSet ? "set" : "not set") << "\n";
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

int storeFirstPassword(CliContext& context, DMUSBBlockerWrapper& wrapper) {
    auto password = readNewPassword(context);
    if (!password) {
        return context.fail("usb enable: " + said(USBBlockerTexts::enterPassword));
    }
    if (auto error = USBPasswordRules::firstPasswordError(password->first, password->second)) {
        return context.fail("usb enable: " + said(*error));
    }
    XPCCodeAnswer stored = wrapper.setPassword({}, password->first);
    if (stored.code != DMUSBBlockerServerProtocol::done) {
        return context.fail("usb enable: the password was not stored: " + DMUSBBlockerWrapper::reason(stored));
    }
    return 0;
}

int enable(CliContext& context) {
    if (!context.preparePlatform()) {
        return 1;
    }
    USBBlockerSwitch blockerSwitch(std::make_shared<DMUSBBlockerWrapper>());
    std::optional<USBWardenState> state = blockerSwitch.wrapper()->state();
    if (!state) {
        return context.fail("usb enable: " + said(USBBlockerTexts::daemonSilent));
    }
    if (!state->passwordSet) {
        if (int failed = storeFirstPassword(context, *blockerSwitch.wrapper())) {
            return failed;
        }
    }
    std::optional<bool> loaded;
    if (!blockerSwitch.enable([&loaded](bool succeeded) { loaded = succeeded; })) {
        return context.fail("usb enable: " + said(USBBlockerTexts::enableFailed));
    }
    runMainQueueUntil([&loaded] { return loaded.has_value(); });
    // The daemon's guard is on either way; only the question about new disks may be missing.
    if (loaded != true) {
        context.err << "usb enable: " << said(USBBlockerTexts::agentNotStarted) << "\n";
    } else {
        context.out << said(USBBlockerTexts::enabled) << "\n";
    }
    return 0;
}

int disable(CliContext& context) {
    if (!context.preparePlatform()) {
        return 1;
    }
    std::optional<std::string> password = context.secret("Password: ");
    USBBlockerSwitch blockerSwitch(std::make_shared<DMUSBBlockerWrapper>());
    if (auto error = USBPasswordRules::stopError(password.value_or(""),
                                                 USBPasswordRules::daemonCheck(*blockerSwitch.wrapper()))) {
        return context.fail("usb disable: " + said(*error));
    }
    USBBlockerSwitch::StopResult result = blockerSwitch.disable(*password);
    if (!result.off) {
        return context.fail("usb disable: " + said(USBBlockerTexts::disableFailed) + " " + result.reason);
    }
    context.out << said(USBBlockerTexts::disabled) << "\n";
    if (!result.agentStopped) {
        context.err << "usb disable: " << said(USBBlockerTexts::agentNotStopped) << "\n";
    }
    return 0;
}

int mode(CliContext& context, const std::string& name) {
    if (!context.preparePlatform()) {
        return 1;
    }
    int value = name == "whitelist" ? USBWardenState::whiteListOnly : USBWardenState::askEveryTime;
    std::optional<std::string> password = context.secret("Password: ");
    if (!password || password->empty()) {
        return context.fail("usb mode: " + said(USBBlockerTexts::enterPassword));
    }
    XPCCodeAnswer answer = DMUSBBlockerWrapper().setMode(value, *password);
    if (answer.code != DMUSBBlockerServerProtocol::done) {
        return context.fail("usb mode: " + DMUSBBlockerWrapper::reason(answer));
    }
    context.out << "mode: " << said(modeName(value)) << "\n";
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
    auto modeChoice = std::make_shared<std::string>();
    CLI::App* modeVerb = usb.add_subcommand("mode", "choose which disks mount: ask (ask every time) or whitelist "
                                                    "(only the white list); needs the password");
    modeVerb->add_option("MODE", *modeChoice, "ask or whitelist")->required()->check(CLI::IsMember({"ask", "whitelist"}));
    modeVerb->callback([&context, modeChoice] { context.exitStatus = mode(context, *modeChoice); });
}

}  // namespace harbormind
