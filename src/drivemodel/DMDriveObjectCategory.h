#pragma once

namespace harbormind {

// Where a drive is seen: through disk arbitration or on the network.
enum class DMDriveObjectCategory {
    local,
    network,
};

}  // namespace harbormind
