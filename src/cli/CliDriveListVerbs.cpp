// The verb that prints the local drive tree: `list [--json]`.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>
#include <vector>

#include "cli/CliContext.h"
#include "cli/CliDriveText.h"
#include "cli/CliVerbGroups.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/PrintableText.h"

namespace harbormind {
namespace {

struct Row {
    int depth;
    std::vector<std::string> cells;
};

const std::vector<std::string> columns{"DEVICE", "NAME", "FILESYSTEM", "STATUS", "LOCATION", "BUS",
                                       "CAPACITY", "USED", "FREE", "MOUNTPOINT"};

std::shared_ptr<DMLocalDriveObject> local(const std::shared_ptr<DMDriveObjectProtocol>& drive) {
    return std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
}

std::vector<std::string> cellsOf(const DMLocalDriveObject& drive) {
    // A plain volume has no lock status (the model's "invalid"): "-" in the table,
    // "notEncrypted" in the JSON.
    DMLocalDriveStatus status = drive.status();
    return {PrintableText::escaped(drive.identifier()),
            PrintableText::escaped(drive.name()),
            CliDriveText::text(drive.fileSystem()),
            status == DMLocalDriveStatus::invalid ? "-" : CliDriveText::text(status),
            CliDriveText::text(drive.location()),
            CliDriveText::text(drive.interfaceType()),
            CliDriveText::size(drive.capacity()),
            CliDriveText::size(drive.used()),
            CliDriveText::size(drive.free()),
            PrintableText::escaped(drive.mountPoint().value_or("-"))};
}

// Children in natural order (disk3s2 before disk3s10).
std::vector<std::shared_ptr<DMLocalDriveObject>> sortedChildren(const DMLocalDriveObject& drive) {
    std::vector<std::shared_ptr<DMLocalDriveObject>> children;
    for (const auto& [key, child] : drive.children()) {
        if (auto object = local(child)) {
            children.push_back(object);
        }
    }
    std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) {
        std::string x = a->identifier();
        std::string y = b->identifier();
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    return children;
}

// A drive, then the disks synthesized on it (an APFS container on its physical store, the
// mappings of an unlocked encrypted volume, each of them), then its own volumes, each level
// indented under the one above.
void collect(const std::shared_ptr<DMLocalDriveObject>& drive, int depth, std::vector<Row>& rows) {
    if (drive->isHidden()) {
        return;
    }
    rows.push_back({depth, cellsOf(*drive)});
    for (const auto& synthesized : drive->logicalLinks()) {
        collect(synthesized, depth + 1, rows);
    }
    for (const auto& child : sortedChildren(*drive)) {
        collect(child, depth + 1, rows);
    }
}

nlohmann::json fieldsOf(const DMLocalDriveObject& drive) {
    auto optionalSize = [](std::optional<std::int64_t> value) {
        return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
    };
    auto mountPoint = drive.mountPoint();
    return {{"identifier", drive.identifier()},
            {"name", drive.name()},
            {"fileSystem", CliDriveText::text(drive.fileSystem())},
            {"status", CliDriveText::text(drive.status())},
            {"location", CliDriveText::text(drive.location())},
            {"bus", CliDriveText::text(drive.interfaceType())},
            {"type", CliDriveText::text(drive.type())},
            {"partitionMap", CliDriveText::text(drive.partitionMap())},
            {"capacity", drive.capacity()},
            {"used", optionalSize(drive.used())},
            {"free", optionalSize(drive.free())},
            {"mountPoint", mountPoint ? nlohmann::json(*mountPoint) : nlohmann::json(nullptr)}};
}

nlohmann::json jsonOf(const std::shared_ptr<DMLocalDriveObject>& drive) {
    nlohmann::json node = fieldsOf(*drive);
    auto logical = local(drive->logicalDriveObj());
    if (logical && logical != drive) {
        node["container"] = fieldsOf(*logical);
    }
    nlohmann::json children = nlohmann::json::array();
    for (const auto& child : sortedChildren(logical ? *logical : *drive)) {
        if (!child->isHidden()) {
            children.push_back(jsonOf(child));
        }
    }
    node["children"] = children;
    // Every disk synthesized on this one, when there are several (root and swap of a volume
    // group on an encrypted volume); "container" names only the first.
    auto links = drive->logicalLinks();
    if (links.size() > 1) {
        nlohmann::json synthesized = nlohmann::json::array();
        for (const auto& link : links) {
            synthesized.push_back(jsonOf(link));
        }
        node["synthesized"] = synthesized;
    }
    return node;
}

int list(CliContext& context, bool json) {
    context.discoverOnce = true;
    auto manager = context.manager();
    if (!manager) {
        return 1;
    }
    std::vector<std::shared_ptr<DMLocalDriveObject>> roots;
    for (const auto& root : manager->rootObjs()) {
        if (auto object = local(root)) {
            roots.push_back(object);
        }
    }
    if (json) {
        nlohmann::json output = nlohmann::json::array();
        for (const auto& root : roots) {
            if (!root->isHidden()) {
                output.push_back(jsonOf(root));
            }
        }
        // A label that is not UTF-8 is printed with its broken bytes replaced, never refused.
        context.out << output.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return 0;
    }
    std::vector<Row> rows{{0, columns}};
    for (const auto& root : roots) {
        collect(root, 0, rows);
    }
    // Columns are measured in terminal columns, not bytes, so names with accents or wide
    // letters stay aligned.
    std::vector<std::size_t> widths(columns.size(), 0);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            std::size_t width =
                PrintableText::displayWidth(row.cells[i]) + (i == 0 ? static_cast<std::size_t>(row.depth) * 2 : 0);
            widths[i] = std::max(widths[i], width);
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            std::string cell = (i == 0 ? std::string(static_cast<std::size_t>(row.depth) * 2, ' ') : "") + row.cells[i];
            if (i + 1 < row.cells.size()) {
                cell.append(widths[i] + 2 - PrintableText::displayWidth(cell), ' ');
            }
            line += cell;
        }
        context.out << line << "\n";
    }
    return 0;
}

}  // namespace

void registerDriveListVerbs(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("list", "print the local drive tree");
    auto json = std::make_shared<bool>(false);
    command->add_flag("--json", *json, "print JSON instead of a table");
    command->callback([&context, json] { context.exitStatus = list(context, *json); });
}

}  // namespace harbormind
