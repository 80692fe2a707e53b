#pragma once

#include <string>

namespace harbormind {

// What the saved-drives file keeps of one drive: five strings, never the password.
struct NetworkDriveRecord {
    std::string name;
    std::string scheme;
    std::string host;
    std::string userName;
    std::string dir;

    bool operator==(const NetworkDriveRecord&) const = default;
};

}  // namespace harbormind
