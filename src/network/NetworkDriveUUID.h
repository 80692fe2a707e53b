#pragma once

#include <string>

namespace harbormind {

// Fresh random (version 4) UUID strings, upper case.
class NetworkDriveUUID {
public:
    static std::string make();
};

}  // namespace harbormind
