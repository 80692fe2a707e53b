#pragma once

#include <string>

namespace harbormind {

// The folder text of the network drive editor ("192.168.0.100/documents", or a whole
// address such as "smb://server/share") and the host and folder it stands for.
class NetworkDriveFolderText {
public:
    struct Address {
        std::string host;  // with ":port" when one is given
        std::string dir;   // with a leading "/" when present
        bool operator==(const Address&) const = default;
    };

    // Slashes and then backslashes trimmed from both ends (surrounding blanks first); a text
    // that is a whole address loses its scheme and account, keeping host and path.
    static std::string normalized(const std::string& text);
    // The host and folder of scheme://normalized text; both empty when that is no address.
    static Address address(const std::string& scheme, const std::string& text);
    // What the editor's address button shows: scheme://host + dir.
    static std::string urlTitle(const std::string& scheme, const std::string& host, const std::string& dir);
};

}  // namespace harbormind
