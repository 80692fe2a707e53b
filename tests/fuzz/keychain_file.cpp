// Keychain files: the clear header and the sealed items, under a fixed key, and items made from
// the input sealed and opened again.
#include <sodium.h>

#include <cstdint>
#include <vector>

#include "platform/linux/settings/KeychainFileFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace harbormind;
    static const int ready = sodium_init();
    static const std::vector<std::uint8_t> key(32, 0x5a);
    (void)ready;
    std::vector<std::uint8_t> file(data, data + size);
    KeychainFileFormat::readHeader(file);
    std::vector<KeychainItem> items;
    KeychainFileFormat::open(file, key.data(), items);

    KeychainItem item;
    item.account.assign(reinterpret_cast<const char*>(data), size / 2);
    item.data.assign(data + size / 2, data + size);
    item.accessGroup = size % 2 == 0 ? std::optional<std::string>(item.account) : std::nullopt;
    KeychainFileHeader header;
    header.opsLimit = crypto_pwhash_OPSLIMIT_MIN;
    header.memLimit = crypto_pwhash_MEMLIMIT_MIN;
    std::vector<std::uint8_t> sealed = KeychainFileFormat::seal(header, key.data(), {item});
    std::vector<KeychainItem> opened;
    if (KeychainFileFormat::open(sealed, key.data(), opened) != 0 || opened.size() != 1 || !(opened[0] == item)) {
        __builtin_trap();
    }
    return 0;
}
