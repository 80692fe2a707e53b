#include "daemon/linux/EraseCommands.h"

namespace harbormind {

ProgramCall EraseCommands::mkfs(DMEraseFileSystem fileSystem, const std::string& devicePath, const std::string& label,
                                std::uint32_t uid, std::uint32_t gid) {
    ProgramCall call;
    auto labelled = [&](const char* option) {
        if (!label.empty()) {
            call.arguments.push_back(option);
            call.arguments.push_back(label);
        }
    };
    switch (fileSystem) {
    case DMEraseFileSystem::ext4:
    case DMEraseFileSystem::luks2Ext4:
        call.program = "mkfs.ext4";
        call.arguments = {"-F", "-q", "-E", "root_owner=" + std::to_string(uid) + ":" + std::to_string(gid)};
        labelled("-L");
        break;
    case DMEraseFileSystem::exfat:
        call.program = "mkfs.exfat";
        labelled("-L");
        break;
    case DMEraseFileSystem::fat32:
        call.program = "mkfs.vfat";
        call.arguments = {"-F", "32"};
        labelled("-n");
        break;
    case DMEraseFileSystem::ntfs:
        call.program = "mkfs.ntfs";
        call.arguments = {"-Q", "-q"};
        labelled("-L");
        break;
    }
    // The device after "--" can never be read as an option; mkfs.ntfs reads its own
    // options and knows no "--", but a path starting with "/" is never an option anyway.
    if (fileSystem != DMEraseFileSystem::ntfs) {
        call.arguments.push_back("--");
    }
    call.arguments.push_back(devicePath);
    return call;
}

std::string EraseCommands::partitionType(DMEraseFileSystem fileSystem, DMPartitionTable::Scheme scheme) {
    const bool gpt = scheme != DMPartitionTable::Scheme::mbr;
    switch (fileSystem) {
    case DMEraseFileSystem::ext4:
        return gpt ? "0FC63DAF-8483-4772-8E79-3D69D8477DE4" : "83";
    case DMEraseFileSystem::luks2Ext4:
        return gpt ? "CA7D7CCB-63ED-4C53-861C-1742536059CC" : "83";
    case DMEraseFileSystem::exfat:
    case DMEraseFileSystem::ntfs:
        return gpt ? "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7" : "7";
    case DMEraseFileSystem::fat32:
        return gpt ? "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7" : "c";
    }
    return {};
}

std::string EraseCommands::newTableScript(DMEraseFileSystem fileSystem) {
    return "label: gpt\ntype=" + partitionType(fileSystem, DMPartitionTable::Scheme::gpt) + "\n";
}

std::string EraseCommands::appendScript(std::int64_t startSector, std::int64_t sizeSectors, const std::string& type) {
    return "start=" + std::to_string(startSector) + ", size=" + std::to_string(sizeSectors) + ", type=" + type + "\n";
}

std::string EraseCommands::blkidType(DMEraseFileSystem fileSystem) {
    switch (fileSystem) {
    case DMEraseFileSystem::ext4: return "ext4";
    case DMEraseFileSystem::exfat: return "exfat";
    case DMEraseFileSystem::fat32: return "vfat";
    case DMEraseFileSystem::ntfs: return "ntfs";
    case DMEraseFileSystem::luks2Ext4: return "crypto_LUKS";
    }
    return {};
}

}  // namespace harbormind
