#include "engines/checkdisk/CheckerTable.h"

namespace harbormind {
namespace {

// e2fsck and fsck.exfat share the fsck exit bits: 1 and 2 mended, 4 left, 8 and up failed.
CheckerOutcome fsckBits(int exitStatus) {
    if (exitStatus == 0) {
        return CheckerOutcome::clean;
    }
    if (exitStatus >= 8) {
        return CheckerOutcome::failed;
    }
    return (exitStatus & 4) != 0 ? CheckerOutcome::errors : CheckerOutcome::fixed;
}

// Checkers that answer 0 for clean and 1 for errors found; anything else is their failure.
CheckerOutcome zeroOrOne(int exitStatus, CheckerOutcome one) {
    if (exitStatus == 0) {
        return CheckerOutcome::clean;
    }
    return exitStatus == 1 ? one : CheckerOutcome::failed;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

std::optional<CheckerFamily> CheckerTable::familyOf(const std::string& type) {
    if (type == "ext2" || type == "ext3" || type == "ext4") {
        return CheckerFamily::ext;
    }
    if (type == "vfat") {
        return CheckerFamily::vfat;
    }
    if (type == "exfat") {
        return CheckerFamily::exfat;
    }
    if (type == "ntfs") {
        return CheckerFamily::ntfs;
    }
    if (type == "xfs") {
        return CheckerFamily::xfs;
    }
    if (type == "btrfs") {
        return CheckerFamily::btrfs;
    }
    return std::nullopt;
}

std::string CheckerTable::programName(CheckerFamily family) {
    switch (family) {
        case CheckerFamily::ext: return "e2fsck";
        case CheckerFamily::vfat: return "fsck.vfat";
        case CheckerFamily::exfat: return "fsck.exfat";
        case CheckerFamily::ntfs: return "ntfsfix";
        case CheckerFamily::xfs: return "xfs_repair";
        case CheckerFamily::btrfs: return "btrfs";
    }
    return {};
}

std::vector<std::string> CheckerTable::checkArguments(CheckerFamily family, const std::string& device) {
    switch (family) {
        case CheckerFamily::ext: return {"-f", "-n", device};
        case CheckerFamily::vfat: return {"-n", device};
        case CheckerFamily::exfat: return {"-n", device};
        case CheckerFamily::ntfs: return {"-n", device};
        case CheckerFamily::xfs: return {"-n", device};
        case CheckerFamily::btrfs: return {"check", "--readonly", device};
    }
    return {};
}

std::vector<std::string> CheckerTable::repairArguments(CheckerFamily family, const std::string& device) {
    switch (family) {
        case CheckerFamily::ext: return {"-f", "-p", device};
        case CheckerFamily::vfat: return {"-a", "-w", device};
        case CheckerFamily::exfat: return {"-y", device};
        // Plain ntfsfix marks the volume for a Windows check (sets the dirty flag); -d mends
        // what it can and leaves the volume clean.
        case CheckerFamily::ntfs: return {"-d", device};
        case CheckerFamily::xfs: return {device};
        case CheckerFamily::btrfs: return {};
    }
    return {};
}

std::vector<std::string> CheckerTable::fallbackArguments(CheckerFamily family, const std::string& device) {
    if (family == CheckerFamily::ext) {
        return {"-f", "-y", device};
    }
    return {};
}

bool CheckerTable::asksForFallback(CheckerFamily family, int exitStatus) {
    // e2fsck -p ends with 4 ("RUN fsck MANUALLY") when a fix needs an answer.
    return family == CheckerFamily::ext && exitStatus >= 0 && exitStatus < 8 && (exitStatus & 4) != 0;
}

bool CheckerTable::checksBeforeRepair(CheckerFamily family) {
    return family == CheckerFamily::xfs;
}

CheckerOutcome CheckerTable::outcome(CheckerFamily family, CheckDiskMode mode, int exitStatus) {
    bool repair = mode == CheckDiskMode::repair;
    switch (family) {
        case CheckerFamily::ext:
        case CheckerFamily::exfat: return fsckBits(exitStatus);
        case CheckerFamily::vfat:
            return zeroOrOne(exitStatus, repair ? CheckerOutcome::fixed : CheckerOutcome::errors);
        case CheckerFamily::ntfs: return exitStatus == 0 ? CheckerOutcome::clean : CheckerOutcome::errors;
        case CheckerFamily::xfs:
            if (repair) {
                return exitStatus == 0 ? CheckerOutcome::fixed : CheckerOutcome::failed;
            }
            return zeroOrOne(exitStatus, CheckerOutcome::errors);
        case CheckerFamily::btrfs: return zeroOrOne(exitStatus, CheckerOutcome::errors);
    }
    return CheckerOutcome::failed;
}

bool CheckerTable::reportsRepair(CheckerFamily family, const std::string& line) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    switch (family) {
        // ntfsfix: "Correcting differences in $MFTMirr record 0...OK", "Fixing ... OK".
        case CheckerFamily::ntfs:
            return (startsWith(text, "Correcting ") || startsWith(text, "Fixing ")) && text.ends_with("OK");
        // e2fsck -p: "... FIXED.", "... CLEARED."; e2fsck -y: "Fix? yes".
        case CheckerFamily::ext:
            return contains(text, "FIXED") || contains(text, "CLEARED") || text.ends_with("? yes");
        default: return false;
    }
}

}  // namespace harbormind
