// The verbs that show and edit the USB blocker's lists: `usb list [--json]`,
// `usb allow NAME [--size N]`, `usb block NAME [--size N]`, `usb remove NAME`.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "usbblocker/USBDiskList.h"
#include "usbblocker/USBListsEditor.h"

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

using Edit = USBListsEditResult (*)(USBListsEditor&, const USBOptions&);

// Only a change that did not happen fails the command; one already made is a note.
int edit(CliContext& context, const USBOptions& options, Edit change) {
    auto lists = openLists(context);
    if (!lists) {
        return 1;
    }
    USBListsEditor editor(*lists);
    USBListsEditResult result = change(editor, options);
    if (result == USBListsEditResult::Done) {
        return 0;
    }
    if (result == USBListsEditResult::AlreadyListed) {
        context.out << options.name << ": " << USBListsEditor::message(result) << "\n";
        return 0;
    }
    return context.fail("usb: " + options.name + ": " + USBListsEditor::message(result));
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

}  // namespace

void registerUSBVerbs(CLI::App& app, CliContext& context) {
    CLI::App* usb = app.add_subcommand("usb", "USB Warden: its white and black lists, turning it on and off");
    usb->require_subcommand(1);

    auto options = std::make_shared<USBOptions>();
    CLI::App* listVerb = usb->add_subcommand("list", "show both lists: kind, size and name per line");
    listVerb->add_flag("--json", options->json, "print JSON");
    listVerb->callback([&context, options] { context.exitStatus = list(context, *options); });

    addEditVerb(*usb, context, "allow", "put a disk on the white list", true,
                [](USBListsEditor& e, const USBOptions& o) { return e.allow(o.name, o.size); });
    addEditVerb(*usb, context, "block", "put a disk on the black list", true,
                [](USBListsEditor& e, const USBOptions& o) { return e.block(o.name, o.size); });
    addEditVerb(*usb, context, "remove", "take a disk off both lists", false,
                [](USBListsEditor& e, const USBOptions& o) { return e.remove(o.name); });
    registerUSBWardenVerbs(*usb, context);
}

}  // namespace harbormind
