#pragma once

#include <cstdint>
#include <vector>

#include "network/NetworkDriveRecord.h"

namespace harbormind {

// The saved-drives file "nwd.plist": an XML property list whose root dictionary holds
// "drives", an array of data blobs, each a binary property list of one dictionary with the
// strings "name", "scheme", "host", "userName" and "dir".
class NetworkDriveArchive {
public:
    using Bytes = std::vector<std::uint8_t>;

    struct Contents {
        std::vector<NetworkDriveRecord> drives;
        // Something in the file could not be read: the whole file or some blobs.
        bool damaged = false;
    };

    static Bytes encode(const std::vector<NetworkDriveRecord>& drives);
    // Reads what it can: a blob that is not a drive is skipped.
    static Contents decode(const Bytes& file);
};

}  // namespace harbormind
