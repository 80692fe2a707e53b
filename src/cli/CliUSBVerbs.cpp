// The verbs that show and edit the USB blocker's lists: `usb list [--json]`,
// `usb allow NAME [--size N]`, `usb block NAME [--size N]`, `usb remove NAME`. The lists are
// read from the lists file; they are changed by the daemon.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "usbblocker/USBDiskList.h"
#include "usbblocker/DMUSBBlockerWrapper.h"
#include "usbblocker/USBListsEditor.h"
#include "xpc/DMUSBBlockerServerProtocol.h"

namespace harbormind {
namespace {

struct USBOptions {
    std::string name;
    std::int64_t size = 0;
    bool json = false;
};

// The platform's lists, read now; a one-shot command needs no watch.
std::unique_ptr<USBDiskList> openLists(CliContext& context) {
    if (!context.preparePlatform()) {
        return nullptr;
    }
    USBDiskListServices services = USBDiskList::platformServices();
    services.fileEvents = nullptr;
    auto list = std::make_unique<USBDiskList>(services);
    list->load();
    return list;
}

nlohmann::json toJson(const std::vector<Drive>& drives) {
    nlohmann::json array = nlohmann::json::array();
    for (const auto& drive : drives) {
        array.push_back({{"name", drive.name}, {"size", drive.size}});
    }
    return array;
}

int list(CliContext& context, const USBOptions& options) {
    auto lists = openLists(context);
    if (!lists) {
        return 1;
    }
    if (options.json) {
        nlohmann::json out = {{"file", lists->savePath()},
                              {"whiteList", toJson(lists->whiteList())},
                              {"blackList", toJson(lists->blackList())}};
        // Names are shown as stored; bytes that are not text are replaced rather than refused.
        context.out << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return 0;
    }
    for (const auto& drive : lists->whiteList()) {
        context.out << "white\t" << drive.size << "\t" << drive.name << "\n";
    }
    for (const auto& drive : lists->blackList()) {
        context.out << "black\t" << drive.size << "\t" << drive.name << "\n";
    }
    return 0;
}

// A change to the lists, made by the daemon (the lists file is root's). Only a change that
// did not happen fails the command; one made already is a note.
using Edit = XPCCodeAnswer (*)(DMUSBBlockerWrapper&, const USBOptions&);

int edit(CliContext& context, const USBOptions& options, Edit change) {
    if (!context.preparePlatform()) {
        return 1;
    }
    DMUSBBlockerWrapper wrapper;
    XPCCodeAnswer answer = change(wrapper, options);
    if (answer.code != DMUSBBlockerServerProtocol::done) {
        return context.fail("usb: " + options.name + ": " + DMUSBBlockerWrapper::reason(answer));
    }
    if (answer.message != "done") {
        context.out << options.name << ": " << answer.message << "\n";
    }
    return 0;
}

void addEditVerb(CLI::App& usb, CliContext& context, const std::string& verb, const std::string& help,
                 bool takesSize, Edit change) {
    auto options = std::make_shared<USBOptions>();
    CLI::App* command = usb.add_subcommand(verb, help);
    command->add_option("NAME", options->name, "the whole disk's media name")->required();
    if (takesSize) {
        command->add_option("--size", options->size, "the size figure stored with the entry (decimal GB)");
    }
    command->callback([&context, options, change] { context.exitStatus = edit(context, *options, change); });
}

// Off both lists: done when it was on either and left it.
XPCCodeAnswer removeFromBoth(DMUSBBlockerWrapper& wrapper, const USBOptions& options) {
    XPCCodeAnswer white = wrapper.removeListEntry(options.name, true);
    XPCCodeAnswer black = wrapper.removeListEntry(options.name, false);
    const std::string notListed = USBListsEditor::message(USBListsEditResult::NotListed);
    if (white.code == DMUSBBlockerServerProtocol::done) {
        return black.code == DMUSBBlockerServerProtocol::done || black.message == notListed ? white : black;
    }
    if (white.message == notListed) {
        return black;
    }
    return white;
}

}  // namespace

void registerUSBVerbs(CLI::App& app, CliContext& context) {
    CLI::App* usb = app.add_subcommand("usb", "USB Warden: its white and black lists, turning it on and off");
    usb->require_subcommand(1);

    auto options = std::make_shared<USBOptions>();
    CLI::App* listVerb = usb->add_subcommand("list", "show both lists: kind, size and name per line");
    listVerb->add_flag("--json", options->json, "print JSON");
    listVerb->callback([&context, options] { context.exitStatus = list(context, *options); });

    addEditVerb(*usb, context, "allow", "put a disk on the white list (an administrator's change)", true,
                [](DMUSBBlockerWrapper& w, const USBOptions& o) { return w.addListEntry(o.name, o.size, true); });
    addEditVerb(*usb, context, "block", "put a disk on the black list (an administrator's change)", true,
                [](DMUSBBlockerWrapper& w, const USBOptions& o) { return w.addListEntry(o.name, o.size, false); });
    addEditVerb(*usb, context, "remove", "take a disk off both lists (an administrator's change)", false,
                &removeFromBoth);
    registerUSBWardenVerbs(*usb, context);
}

}  // namespace harbormind
