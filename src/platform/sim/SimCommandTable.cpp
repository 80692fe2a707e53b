#include "platform/sim/SimCommandTable.h"

#include "support/ShellQuote.h"

namespace harbormind {

std::string SimCommandTable::ejectDisk(const std::string& bsdName) {
    return "diskutil eject " + ShellQuote::quote(bsdName) + " &";
}

std::string SimCommandTable::lockVolume(const std::string& bsdName) {
    return "diskutil apfs lockVolume " + ShellQuote::quote(bsdName);
}

std::string SimCommandTable::unlockVolume(const std::string& bsdName, const std::string& passphrase) {
    return "diskutil apfs unlockVolume " + ShellQuote::quote(bsdName) + " -passphrase " + ShellQuote::quote(passphrase);
}

std::string SimCommandTable::unlockCoreStorageVolume(const std::string& logicalVolume, const std::string& passphrase) {
    return "diskutil coreStorage unlockVolume " + ShellQuote::quote(logicalVolume) + " -passphrase " +
           ShellQuote::quote(passphrase);
}

std::string SimCommandTable::encryptAPFSVolume(const std::string& bsdName, const std::string& passphrase) {
    return "/usr/sbin/diskutil apfs encryptVolume " + ShellQuote::quote(bsdName) + " -user disk -passphrase " +
           ShellQuote::quote(passphrase);
}

std::string SimCommandTable::convertToCoreStorage(const std::string& bsdName, const std::string& passphrase) {
    std::string tool = bundledVolumeTool_ ? ShellQuote::quote(*bundledVolumeTool_) : "/usr/sbin/diskutil";
    return tool + " coreStorage convert " + ShellQuote::quote(bsdName) + " -passphrase " + ShellQuote::quote(passphrase);
}

std::string SimCommandTable::listAPFSContainer(const std::string& wholeDisk) {
    return "/usr/sbin/diskutil apfs list " + ShellQuote::quote(wholeDisk);
}

std::string SimCommandTable::listCoreStorage() {
    return "diskutil cs list -plist";
}

std::string SimCommandTable::loadUSBBlockerAgent() {
    return "launchctl load -w /Library/LaunchAgents/com.kestrane.usbblocker.plist";
}

std::string SimCommandTable::unloadUSBBlockerAgent() {
    return "launchctl unload /Library/LaunchAgents/com.kestrane.usbblocker.plist";
}

}  // namespace harbormind
