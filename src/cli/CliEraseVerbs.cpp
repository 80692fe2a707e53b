// `erase DEVICE --fs FS [--name NAME] [--yes]`, and `partition list|create|delete`: erasing a
// disk or a volume and changing a disk's partitions through the helper daemon, after saying
// what will be lost and asking.
#include <CLI/CLI.hpp>


#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliEraseSteps.h"
#include "cli/CliVerbGroups.h"
#include "disktools/DMDiskToolsWrapper.h"
#include "disktools/DMEraseChecks.h"
#include "disktools/DMEraseTarget.h"
#include "xpc/DMVolumeLabelRules.h"
#include "disktools/DMWholeDisk.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/DMByteCountFormatter.h"
#include "support/PrintableText.h"

namespace harbormind {
namespace {

// Exit statuses beyond 1: the user said no, or something uses the drive.
constexpr int notConfirmed = CliEraseSteps::notConfirmed;

struct EraseOptions {
    std::string device;
    std::string fileSystem;
    std::string name;
    bool yes = false;
};

struct PartitionOptions {
    std::string device;
    std::string size;
    std::string start;
    std::string fileSystem = "ext4";
    std::string name;
    bool yes = false;
    bool json = false;
};

std::string plainName(const std::string& device) {
    return device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
}

// "64M", "1.5G", "500000000" (bytes); K, M, G and T are powers of 1024.
std::optional<std::int64_t> parseSize(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    std::string unit = text.substr(used);
    double factor = unit.empty() || unit == "B" ? 1
                    : unit == "K" || unit == "KiB" ? 1024.0
                    : unit == "M" || unit == "MiB" ? 1024.0 * 1024
                    : unit == "G" || unit == "GiB" ? 1024.0 * 1024 * 1024
                    : unit == "T" || unit == "TiB" ? 1024.0 * 1024 * 1024 * 1024
                                                   : -1;
    if (factor < 0 || value <= 0 || value * factor > 9.0e18) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(value * factor);
}

std::optional<std::string> newPassword(CliContext& context, DMEraseFileSystem fileSystem) {
    if (fileSystem != DMEraseFileSystem::luks2Ext4) {
        return std::string();
    }
    auto password = context.secret("Password of the encrypted volume: ");
    if (!password || password->empty()) {
        context.fail("erase: an encrypted volume needs a password");
        return std::nullopt;
    }
    if (context.secretTyped) {
        auto again = context.secret("The same password again: ");
        if (!again || *again != *password) {
            context.fail("erase: the two passwords differ");
            return std::nullopt;
        }
    }
    return password;
}

std::optional<DMVolumeLabelCheck> checkedName(CliContext& context, DMEraseFileSystem fileSystem,
                                              const std::string& name) {
    auto checked = DMVolumeLabelRules::check(fileSystem, name);
    if (!checked.accepted) {
        context.fail("the name \"" + PrintableText::escaped(name) + "\" cannot be used: " + checked.reason);
        return std::nullopt;
    }
    return checked;
}

int report(CliContext& context, const std::string& verb, const XPCCodeAnswer& answer) {
    if (answer.code != 0) {
        context.fail(verb + " failed: " + answer.message);
        return answer.code == 16 ? 16 : 1;
    }
    context.out << PrintableText::escaped(answer.message) << "\n";
    return 0;
}

int erase(CliContext& context, const EraseOptions& options) {
    auto fileSystem = DMEraseFileSystems::fromName(options.fileSystem);
    if (!fileSystem) {
        return context.fail("erase: unknown file system \"" + options.fileSystem +
                            "\" (ext4, exfat, fat32, ntfs or luks2-ext4)");
    }
    auto name = checkedName(context, *fileSystem, options.name);
    if (!name || !context.preparePlatform()) {
        return 1;
    }
    auto drive = context.drive(plainName(options.device));
    auto target = drive ? DMEraseTarget::read(drive) : std::nullopt;
    if (!target) {
        return 1;
    }
    std::string what = target->wholeDisk ? "the disk " + target->title() + ", with a new partition table,"
                                         : "the volume " + target->title() + " on " + target->diskName;
    if (!CliEraseSteps::confirmed(context,
                   "Erase " + what + " as " + DMEraseFileSystems::displayNameOf(*fileSystem) + "? " +
                       target->contents() + " Everything on it will be lost.",
                   options.yes)) {
        return notConfirmed;
    }
    auto password = newPassword(context, *fileSystem);
    if (!password) {
        return 1;
    }
    if (int status = CliEraseSteps::prepare(context, "erase", *target); status != 0) {
        return status;
    }
    return report(context, "erase " + target->identifier,
                  DMDiskToolsWrapper().erase(target->identifier, *fileSystem, name->label, *password));
}

int listPartitions(CliContext& context, const PartitionOptions& options) {
    if (!context.preparePlatform()) {
        return 1;
    }
    std::string error;
    auto table = DMDiskToolsWrapper().partitionTable(plainName(options.device), error);
    if (!table) {
        return context.fail("partition list " + options.device + ": " + error);
    }
    const char* schemes[] = {"none", "gpt", "mbr", "other"};
    if (options.json) {
        nlohmann::json out{{"device", plainName(options.device)},
                           {"scheme", schemes[static_cast<int>(table->scheme())]},
                           {"sizeBytes", table->sizeBytes()},
                           {"partitions", nlohmann::json::array()},
                           {"free", nlohmann::json::array()}};
        for (const auto& part : table->partitions()) {
            out["partitions"].push_back({{"device", part.device}, {"number", part.number},
                                         {"startBytes", part.startBytes}, {"sizeBytes", part.sizeBytes},
                                         {"type", part.type}, {"name", part.name}});
        }
        for (const auto& region : table->freeRegions()) {
            out["free"].push_back({{"startBytes", region.startBytes}, {"sizeBytes", region.sizeBytes}});
        }
        context.out << out.dump(2) << "\n";
        return 0;
    }
    context.out << "Partition table: " << schemes[static_cast<int>(table->scheme())] << "\n";
    for (const auto& part : table->partitions()) {
        context.out << "  " << PrintableText::escaped(part.device) << "  start " << part.startBytes << "  "
                    << DMByteCountFormatter::string(part.sizeBytes)
                    << (part.name.empty() ? "" : "  \"" + PrintableText::escaped(part.name) + "\"") << "\n";
    }
    for (const auto& region : table->freeRegions()) {
        context.out << "  free  start " << region.startBytes << "  " << DMByteCountFormatter::string(region.sizeBytes)
                    << "\n";
    }
    return 0;
}

int createPartition(CliContext& context, const PartitionOptions& options) {
    auto fileSystem = DMEraseFileSystems::fromName(options.fileSystem);
    if (!fileSystem) {
        return context.fail("partition create: unknown file system \"" + options.fileSystem + "\"");
    }
    auto name = checkedName(context, *fileSystem, options.name);
    if (!name || !context.preparePlatform()) {
        return 1;
    }
    const std::string disk = plainName(options.device);
    std::string error;
    DMDiskToolsWrapper tools;
    auto table = tools.partitionTable(disk, error);
    if (!table) {
        return context.fail("partition create " + disk + ": " + error);
    }
    auto size = options.size.empty() ? std::nullopt : parseSize(options.size);
    auto start = options.start.empty() ? std::nullopt : parseSize(options.start);
    if ((!options.size.empty() && !size) || (!options.start.empty() && !start)) {
        return context.fail("partition create: sizes are numbers of bytes, or with K, M, G or T (such as 64M)");
    }
    std::optional<DMFreeRegion> place;
    for (const auto& region : table->freeRegions()) {
        const std::int64_t begin = start.value_or(region.startBytes);
        const std::int64_t length = size.value_or(region.startBytes + region.sizeBytes - begin) /
                                    DMPartitionTable::alignment * DMPartitionTable::alignment;
        if (!place && table->fits(begin, length)) {
            place = DMFreeRegion{begin, length};
        }
    }
    if (!place) {
        return context.fail("partition create " + disk + ": no free space of that size there (see partition list " +
                            disk + ")");
    }
    if (!CliEraseSteps::confirmed(context,
                   "Create a " + DMByteCountFormatter::string(place->sizeBytes) + " " +
                       DMEraseFileSystems::displayNameOf(*fileSystem) + " partition on " + disk + "?",
                   options.yes)) {
        return notConfirmed;
    }
    auto password = newPassword(context, *fileSystem);
    if (!password) {
        return 1;
    }
    return report(context, "partition create " + disk,
                  tools.createPartition(disk, place->startBytes, place->sizeBytes, *fileSystem, name->label,
                                        *password));
}

int deletePartition(CliContext& context, const PartitionOptions& options) {
    if (!context.preparePlatform()) {
        return 1;
    }
    auto drive = context.drive(plainName(options.device));
    auto target = drive ? DMEraseTarget::read(drive) : std::nullopt;
    if (!target) {
        return 1;
    }
    if (target->wholeDisk) {
        return context.fail("partition delete " + target->identifier + ": this is a whole disk, not a partition");
    }
    if (!CliEraseSteps::confirmed(context,
                   "Delete the partition " + target->title() + " of " + target->diskName + "? " + target->contents() +
                       " Everything on it will be lost.",
                   options.yes)) {
        return notConfirmed;
    }
    if (int status = CliEraseSteps::prepare(context, "partition delete", *target); status != 0) {
        return status;
    }
    return report(context, "partition delete " + target->identifier, DMDiskToolsWrapper().deletePartition(target->identifier));
}

}  // namespace

void registerEraseVerbs(CLI::App& app, CliContext& context) {
    auto erasing = std::make_shared<EraseOptions>();
    auto* command = app.add_subcommand("erase", "erase a disk (a new GPT with one partition) or a volume");
    command->add_option("DEVICE", erasing->device, "the disk or volume, such as sdb or sdb1")->required();
    command->add_option("--fs", erasing->fileSystem, "ext4, exfat, fat32, ntfs or luks2-ext4")->required();
    command->add_option("--name", erasing->name, "the new volume's name");
    command->add_flag("--yes", erasing->yes, "do not ask first");
    command->callback([&context, erasing] { context.exitStatus = erase(context, *erasing); });

    auto parts = std::make_shared<PartitionOptions>();
    auto* partition = app.add_subcommand("partition", "list, create and delete a disk's partitions");
    partition->require_subcommand(1);
    auto* list = partition->add_subcommand("list", "the disk's partitions and free space");
    list->add_option("DISK", parts->device, "the whole disk, such as sdb")->required();
    list->add_flag("--json", parts->json, "print the table as JSON");
    list->callback([&context, parts] { context.exitStatus = listPartitions(context, *parts); });
    auto* create = partition->add_subcommand("create", "create a partition in the disk's free space");
    create->add_option("DISK", parts->device, "the whole disk, such as sdb")->required();
    create->add_option("--size", parts->size, "its size (64M, 2G; the whole free space when left out)");
    create->add_option("--start", parts->start, "where it starts (the first free space that fits when left out)");
    create->add_option("--fs", parts->fileSystem, "ext4 (the default), exfat, fat32, ntfs or luks2-ext4");
    create->add_option("--name", parts->name, "the volume's name (and the GPT partition's)");
    create->add_flag("--yes", parts->yes, "do not ask first");
    create->callback([&context, parts] { context.exitStatus = createPartition(context, *parts); });
    auto* remove = partition->add_subcommand("delete", "delete a partition");
    remove->add_option("PARTITION", parts->device, "the partition, such as sdb2")->required();
    remove->add_flag("--yes", parts->yes, "do not ask first");
    remove->callback([&context, parts] { context.exitStatus = deletePartition(context, *parts); });
}

}  // namespace harbormind
