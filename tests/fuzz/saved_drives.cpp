#include <cstdint>
#include <vector>

#include "network/NetworkDriveArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using harbormind::NetworkDriveArchive;
    NetworkDriveArchive::Contents contents = NetworkDriveArchive::decode(NetworkDriveArchive::Bytes(data, data + size));
    // What was read can be written back and reads the same.
    NetworkDriveArchive::Contents again = NetworkDriveArchive::decode(NetworkDriveArchive::encode(contents.drives));
    if (again.drives.size() != contents.drives.size() || again.damaged) {
        __builtin_trap();
    }
    return 0;
}
