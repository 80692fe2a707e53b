#include <cstdint>
#include <vector>

#include "network/NetworkDriveArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using harbormind::NetworkDriveArchive;
    NetworkDriveArchive::Contents contents = NetworkDriveArchive::decode(NetworkDriveArchive::Bytes(data, data + size));
    NetworkDriveArchive::decode(NetworkDriveArchive::encode(contents.drives));
    return 0;
}
