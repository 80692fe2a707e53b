#include "daemon/linux/DiskEraser.h"

#include <nlohmann/json.hpp>

#include "daemon/linux/DeviceMapperPresence.h"
#include "daemon/linux/EraseCommands.h"
#include "support/Clock.h"
#include "support/Log.h"
#include "xpc/DMDiskToolsServerProtocol.h"

namespace harbormind {
namespace {

using P = DMDiskToolsServerProtocol;

constexpr double partitionWaitSeconds = 10;
constexpr double pollSeconds = 0.1;

std::string lastLine(const std::string& text) {
    std::string trimmed = text;
    while (!trimmed.empty() && (trimmed.back() == '\n' || trimmed.back() == ' ')) {
        trimmed.pop_back();
    }
    auto cut = trimmed.rfind('\n');
    return cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

DiskEraser::DiskEraser(DiskToolRunner& runner, const DiskToolsDevices& devices, std::string procRoot)
    : runner_(runner), devices_(devices), procRoot_(std::move(procRoot)) {}

XPCCodeAnswer DiskEraser::failure(const std::string& what, const ProcessResult& result) const {
    if (!result.launched) {
        return {P::failed, what + " failed: the program is not installed"};
    }
    std::string reason = lastLine(result.standardError);
    if (reason.empty()) {
        reason = lastLine(result.standardOutput);
    }
    return {P::failed, what + " failed" + (reason.empty() ? std::string() : ": " + reason)};
}

std::optional<DMPartitionTable> DiskEraser::readTable(const std::string& disk, std::string& json) {
    nlohmann::json answer{{"sizeBytes", devices_.sizeBytes(disk)}, {"sectorSize", devices_.logicalSectorSize(disk)}};
    ProcessResult result = runner_.run("sfdisk", {"--json", "--", "/dev/" + disk});
    nlohmann::json table = result.exitStatus == 0 ? nlohmann::json::parse(result.standardOutput, nullptr, false)
                                                  : nlohmann::json();
    answer["table"] = table.is_object() && table.contains("partitiontable") ? table["partitiontable"] : nullptr;
    json = answer.dump();
    return DMPartitionTable::parse(json);
}

XPCCodeAnswer DiskEraser::partitionTable(const std::string& disk) {
    if (devices_.isPartition(disk)) {
        return {P::invalid, disk + " is a partition, not a whole disk"};
    }
    std::string json;
    if (!readTable(disk, json)) {
        return {P::failed, "the partition table of " + disk + " could not be read"};
    }
    return {P::done, json};
}

XPCCodeAnswer DiskEraser::erase(const std::string& device, DMEraseFileSystem fileSystem, const std::string& label,
                                const std::string& password, EraseOwner owner) {
    if (std::string why = devices_.whyInUse(device); !why.empty()) {
        return {P::busy, why};
    }
    if (devices_.isPartition(device)) {
        std::string disk = devices_.diskOf(device);
        std::string json;
        auto table = readTable(disk, json);
        auto result = format(device, fileSystem, label, password, owner);
        if (result.code == P::done && table) {
            // The type tells other systems what the partition holds; a refusal changes nothing.
            runner_.run("sfdisk", {"--part-type", "--no-reread", "--no-tell-kernel", "--", "/dev/" + disk,
                                   std::to_string(devices_.partitionNumber(device)),
                                   EraseCommands::partitionType(fileSystem, table->scheme())});
        }
        return result;
    }
    ProcessResult table = runner_.run("sfdisk", {"--quiet", "--wipe", "always", "--wipe-partitions", "always", "--",
                                                 "/dev/" + device},
                                      EraseCommands::newTableScript(fileSystem));
    std::string partition = waitForPartition(device, 1);
    if (partition.empty()) {
        if (table.exitStatus != 0) {
            return failure("Writing a new partition table on " + device, table);
        }
        return {P::failed, "the kernel does not show the new partition of " + device +
                               " (a disk image must be attached with partition scanning)"};
    }
    return format(partition, fileSystem, label, password, owner);
}

XPCCodeAnswer DiskEraser::format(const std::string& partition, DMEraseFileSystem fileSystem, const std::string& label,
                                 const std::string& password, EraseOwner owner) {
    if (fileSystem == DMEraseFileSystem::luks2Ext4 && !DeviceMapperPresence::present(procRoot_)) {
        return {P::failed, DeviceMapperPresence::missingReason("Making an encrypted volume")};
    }
    if (fileSystem == DMEraseFileSystem::luks2Ext4 && password.empty()) {
        return {P::invalid, "an encrypted volume needs a password"};
    }
    // Old signatures go first, so nothing reads the new volume as what it held before.
    runner_.run("wipefs", {"--all", "--quiet", "--", "/dev/" + partition});
    if (fileSystem == DMEraseFileSystem::luks2Ext4) {
        return formatEncrypted(partition, label, password, owner);
    }
    ProgramCall mkfs = EraseCommands::mkfs(fileSystem, "/dev/" + partition, label, owner.uid, owner.gid);
    ProcessResult made = runner_.run(mkfs.program, mkfs.arguments);
    if (made.exitStatus != 0) {
        return failure("Making " + DMEraseFileSystems::displayNameOf(fileSystem) + " on " + partition, made);
    }
    return checkMade(partition, fileSystem, label);
}

XPCCodeAnswer DiskEraser::formatEncrypted(const std::string& partition, const std::string& label,
                                          const std::string& password, EraseOwner owner) {
    std::vector<std::string> format{"luksFormat", "--type", "luks2", "--batch-mode", "--key-file", "-"};
    if (!label.empty()) {
        format.insert(format.end(), {"--label", label});
    }
    format.insert(format.end(), {"--", "/dev/" + partition});
    if (ProcessResult made = runner_.run("cryptsetup", format, password); made.exitStatus != 0) {
        return failure("Making the encrypted volume on " + partition, made);
    }
    const std::string mapping = "hm-erase-" + partition;
    if (ProcessResult opened = runner_.run("cryptsetup", {"open", "--type", "luks2", "--key-file", "-", "--",
                                                          "/dev/" + partition, mapping},
                                           password);
        opened.exitStatus != 0) {
        return failure("Opening the new encrypted volume on " + partition, opened);
    }
    ProgramCall mkfs = EraseCommands::mkfs(DMEraseFileSystem::ext4, "/dev/mapper/" + mapping, label, owner.uid,
                                           owner.gid);
    ProcessResult made = runner_.run(mkfs.program, mkfs.arguments);
    ProcessResult closed = runner_.run("cryptsetup", {"close", "--", mapping});
    if (made.exitStatus != 0) {
        return failure("Making ext4 inside the encrypted volume on " + partition, made);
    }
    if (closed.exitStatus != 0) {
        return failure("Closing the new encrypted volume on " + partition, closed);
    }
    return checkMade(partition, DMEraseFileSystem::luks2Ext4, label);
}

// Reads the new volume back: its type must be the one made, and its label the one asked for.
XPCCodeAnswer DiskEraser::checkMade(const std::string& partition, DMEraseFileSystem fileSystem,
                                    const std::string& label) {
    ProcessResult type = runner_.run("blkid", {"-p", "-o", "value", "-s", "TYPE", "--", "/dev/" + partition});
    if (trimmed(type.standardOutput) != EraseCommands::blkidType(fileSystem)) {
        return {P::failed, "the new file system on " + partition + " could not be found afterwards"};
    }
    if (!label.empty() && fileSystem != DMEraseFileSystem::luks2Ext4) {
        ProcessResult named = runner_.run("blkid", {"-p", "-o", "value", "-s", "LABEL", "--", "/dev/" + partition});
        if (trimmed(named.standardOutput) != label) {
            return {P::failed, "the new file system on " + partition + " does not carry the name " + label};
        }
    }
    Log::info("disk tools: " + partition + " now holds " + DMEraseFileSystems::nameOf(fileSystem));
    return {P::done, partition};
}

// The table was written without the kernel reading it again (a disk in use): the kernel is
// told of the partition on its own, and told again until it shows it. The kernel refuses
// while another program (a drive list, a probe after the change) has the disk's devices
// open for a moment, and says nothing of it to the next look.
std::string DiskEraser::waitForPartition(const std::string& disk, std::int64_t number) {
    Clock& clock = Clock::current();
    const auto deadline = clock.now() + seconds(partitionWaitSeconds);
    while (true) {
        for (const auto& part : devices_.partitionsOf(disk)) {
            if (devices_.partitionNumber(part) == number && devices_.exists(part)) {
                return part;
            }
        }
        if (clock.now() >= deadline) {
            return {};
        }
        runner_.run("partx", {"--add", "--nr", std::to_string(number), "--", "/dev/" + disk});
        clock.sleepFor(seconds(pollSeconds));
    }
}

// The same for a deleted partition: the kernel refuses to let go of one that is open, if
// only for a probe's moment, so it is asked until the partition is gone.
bool DiskEraser::waitUntilGone(const std::string& partition, const std::string& disk, const std::string& number) {
    Clock& clock = Clock::current();
    const auto deadline = clock.now() + seconds(partitionWaitSeconds);
    while (devices_.exists(partition)) {
        if (clock.now() >= deadline) {
            return false;
        }
        runner_.run("partx", {"--delete", "--nr", number, "--", "/dev/" + disk});
        clock.sleepFor(seconds(pollSeconds));
    }
    return true;
}

XPCCodeAnswer DiskEraser::createPartition(const std::string& disk, std::int64_t startBytes, std::int64_t sizeBytes,
                                          DMEraseFileSystem fileSystem, const std::string& label,
                                          const std::string& password, EraseOwner owner) {
    if (devices_.isPartition(disk)) {
        return {P::invalid, disk + " is a partition: a new partition goes on a whole disk"};
    }
    std::string json;
    auto table = readTable(disk, json);
    if (!table || (table->scheme() != DMPartitionTable::Scheme::gpt &&
                   table->scheme() != DMPartitionTable::Scheme::mbr)) {
        return {P::invalid, disk + " has no GPT or MBR partition table; erase the whole disk to give it one"};
    }
    if (!table->fits(startBytes, sizeBytes)) {
        return {P::invalid, "the space asked for is not free space of " + disk + " (or not aligned to 1 MiB)"};
    }
    const std::int64_t sector = table->sectorSize();
    const std::string type = EraseCommands::partitionType(fileSystem, table->scheme());
    ProcessResult added = runner_.run("sfdisk", {"--append", "--quiet", "--no-reread", "--no-tell-kernel", "--",
                                                 "/dev/" + disk},
                                      EraseCommands::appendScript(startBytes / sector, sizeBytes / sector, type));
    if (added.exitStatus != 0) {
        return failure("Adding a partition to " + disk, added);
    }
    std::int64_t number = 0;
    if (auto after = readTable(disk, json)) {
        for (const auto& entry : after->partitions()) {
            number = entry.startBytes == startBytes ? entry.number : number;
        }
    }
    std::string partition = number > 0 ? waitForPartition(disk, number) : std::string();
    if (partition.empty()) {
        return {P::failed, "the kernel does not show the new partition of " + disk};
    }
    if (table->scheme() == DMPartitionTable::Scheme::gpt && !label.empty()) {
        runner_.run("sfdisk", {"--part-label", "--no-reread", "--no-tell-kernel", "--", "/dev/" + disk,
                               std::to_string(number), label});
    }
    return format(partition, fileSystem, label, password, owner);
}

XPCCodeAnswer DiskEraser::deletePartition(const std::string& partition) {
    if (!devices_.isPartition(partition)) {
        return {P::invalid, partition + " is not a partition"};
    }
    if (std::string why = devices_.whyInUse(partition); !why.empty()) {
        return {P::busy, why};
    }
    const std::string disk = devices_.diskOf(partition);
    const std::string number = std::to_string(devices_.partitionNumber(partition));
    ProcessResult removed = runner_.run("sfdisk", {"--delete", "--no-reread", "--no-tell-kernel", "--",
                                                   "/dev/" + disk, number});
    if (removed.exitStatus != 0) {
        return failure("Deleting partition " + number + " of " + disk, removed);
    }
    std::string json;
    auto table = readTable(disk, json);
    bool listed = false;
    for (const auto& entry : table ? table->partitions() : std::vector<DMPartitionEntry>{}) {
        listed = listed || std::to_string(entry.number) == number;
    }
    if (!table || listed) {
        return {P::failed, "partition " + number + " is still in the table of " + disk};
    }
    if (!waitUntilGone(partition, disk, number)) {
        return {P::failed, "the kernel still shows " + partition + "; the table no longer lists it"};
    }
    return {P::done, partition + " was deleted"};
}

}  // namespace harbormind
