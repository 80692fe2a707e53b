#include <cstdint>
#include <string>

#include "drivemodel/DMCoreStorageList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto list = harbormind::DMCoreStorageList::parse(std::string(reinterpret_cast<const char*>(data), size));
    for (const auto& group : list.groups()) {
        list.groupWithPhysicalVolume(group.uuid);
        list.hasLogicalVolume(group.uuid);
    }
    return 0;
}
