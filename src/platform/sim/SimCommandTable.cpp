#include "platform/sim/SimCommandTable.h"

#include "support/ShellQuote.h"

namespace harbormind {

std::string SimCommandTable::mountVolume(const std::string& bsdName) {
    return "/usr/sbin/diskutil mount " + ShellQuote::quote(bsdName);
}

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

std::string SimCommandTable::listCoreStorage() {
    return "diskutil cs list -plist";
}

}  // namespace harbormind
