#pragma once

#include <optional>
#include <string>

namespace harbormind {

// A network share's address: scheme://[user[:password]@]host[:port][/path]. The host keeps
// its port ("server:1445"). A password in the text is read but never written back.
struct NetworkURL {
    std::string scheme;
    std::string user;
    std::string host;
    std::string path;

    // None when the text has no scheme or no host, or holds a control character or a space.
    static std::optional<NetworkURL> parse(const std::string& text);
    // scheme://user@host/path, or scheme://host/path without a user.
    std::string text() const;
    // The host without its port, and the port when one is given.
    std::string hostName() const;
    std::optional<int> port() const;
    // The last component of the path, empty when the path is empty or "/".
    std::string lastPathComponent() const;
    // The volume kind of a share reached with this scheme ("smbfs", "nfs", ...).
    static std::string volumeKind(const std::string& scheme);
};

}  // namespace harbormind
