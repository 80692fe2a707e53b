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
    return {drive.identifier(),
            drive.name(),
            CliDriveText::text(drive.fileSystem()),
            CliDriveText::text(drive.status()),
            CliDriveText::text(drive.location()),
            CliDriveText::text(drive.interfaceType()),
            CliDriveText::size(drive.capacity()),
            CliDriveText::size(drive.used()),
            CliDriveText::size(drive.free()),
            drive.mountPoint().value_or("-")};
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

// A drive, then the disk synthesized on it (an APFS container on its physical store), then
// the volumes, each level indented under the one above.
void collect(const std::shared_ptr<DMLocalDriveObject>& drive, int depth, std::vector<Row>& rows) {
    if (drive->isHidden()) {
        return;
    }
    rows.push_back({depth, cellsOf(*drive)});
    auto logical = local(drive->logicalDriveObj());
    int childDepth = depth + 1;
    if (logical && logical != drive) {
        rows.push_back({depth + 1, cellsOf(*logical)});
        childDepth = depth + 2;
    }
    for (const auto& child : sortedChildren(logical ? *logical : *drive)) {
        collect(child, childDepth, rows);
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
    return node;
}

int list(CliContext& context, bool json) {
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
        context.out << output.dump(2) << "\n";
        return 0;
    }
    std::vector<Row> rows{{0, columns}};
    for (const auto& root : roots) {
        collect(root, 0, rows);
    }
    std::vector<std::size_t> widths(columns.size(), 0);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            std::size_t width = row.cells[i].size() + (i == 0 ? static_cast<std::size_t>(row.depth) * 2 : 0);
            widths[i] = std::max(widths[i], width);
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            std::string cell = (i == 0 ? std::string(static_cast<std::size_t>(row.depth) * 2, ' ') : "") + row.cells[i];
            if (i + 1 < row.cells.size()) {
                cell.resize(widths[i] + 2, ' ');
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
