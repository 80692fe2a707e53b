#include <cstdint>
#include <string>

#include "platform/linux/disks/MountTable.h"
#include "platform/linux/network/NetworkMountTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    harbormind::MountTable table = harbormind::MountTable::parse(text);
    for (const auto& entry : table.entries()) {
        table.mountPointOf(entry.devNumber, entry.source);
        table.entryContaining(entry.mountPoint);
    }
    harbormind::NetworkMountTable::parse(text);
    return 0;
}
