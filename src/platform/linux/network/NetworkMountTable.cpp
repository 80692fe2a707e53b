#include "platform/linux/network/NetworkMountTable.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "platform/NetworkURL.h"

namespace harbormind {
namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) {
        parts.push_back(part);
    }
    return parts;
}

std::optional<std::string> option(const std::string& options, const std::string& name) {
    for (const std::string& entry : split(options, ',')) {
        if (entry.starts_with(name + "=")) {
            return entry.substr(name.size() + 1);
        }
    }
    return std::nullopt;
}

// "//host/share/path" with "username=bob" among the options.
std::optional<NetworkURL> cifsURL(const std::string& source, const std::string& options) {
    if (!source.starts_with("//")) {
        return std::nullopt;
    }
    std::string rest = source.substr(2);
    auto slash = rest.find('/');
    NetworkURL url;
    url.scheme = "smb";
    url.host = rest.substr(0, slash);
    url.path = slash == std::string::npos ? "" : rest.substr(slash);
    if (auto port = option(options, "port"); port && *port != "445") {
        url.host += ":" + *port;
    }
    url.user = option(options, "username").value_or("");
    if (url.host.empty()) {
        return std::nullopt;
    }
    return url;
}

// "host:/path" or "[address]:/path".
std::optional<NetworkURL> nfsURL(const std::string& source) {
    auto separator = source.find(":/");
    if (separator == std::string::npos || separator == 0) {
        return std::nullopt;
    }
    NetworkURL url;
    url.scheme = "nfs";
    url.host = source.substr(0, separator);
    url.path = source.substr(separator + 1);
    return url;
}

// "user@host:/path" of sshfs.
std::optional<NetworkURL> sshURL(const std::string& source) {
    auto separator = source.find(':');
    if (separator == std::string::npos) {
        return std::nullopt;
    }
    NetworkURL url;
    url.scheme = "sftp";
    std::string authority = source.substr(0, separator);
    auto at = authority.rfind('@');
    if (at != std::string::npos) {
        url.user = authority.substr(0, at);
        authority = authority.substr(at + 1);
    }
    url.host = authority;
    url.path = source.substr(separator + 1);
    if (!url.path.starts_with("/")) {
        url.path = "/" + url.path;
    }
    return url;
}

}  // namespace

std::string NetworkMountTable::unescape(const std::string& field) {
    std::string result;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool octal = true;
            int value = 0;
            for (std::size_t j = 1; j <= 3; ++j) {
                char c = field[i + j];
                if (c < '0' || c > '7') {
                    octal = false;
                    break;
                }
                value = value * 8 + (c - '0');
            }
            if (octal && value < 256) {
                result += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        result += field[i];
    }
    return result;
}

std::vector<NetworkMountEntry> NetworkMountTable::parse(const std::string& mountInfo) {
    std::vector<NetworkMountEntry> entries;
    std::istringstream lines(mountInfo);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields = split(line, ' ');
        // id parent major:minor root mount-point options [optional fields...] - type source super-options
        std::size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-") {
            ++dash;
        }
        if (fields.size() < 6 || dash + 2 >= fields.size()) {
            continue;
        }
        NetworkMountEntry entry;
        entry.volume.mountPoint = unescape(fields[4]);
        entry.type = fields[dash + 1];
        entry.source = unescape(fields[dash + 2]);
        std::string superOptions = dash + 3 < fields.size() ? fields[dash + 3] : "";

        std::optional<NetworkURL> url;
        if (entry.type == "cifs" || entry.type == "smb3") {
            url = cifsURL(entry.source, superOptions);
            entry.volume.kind = "smbfs";
        } else if (entry.type == "nfs" || entry.type == "nfs4") {
            url = nfsURL(entry.source);
            entry.volume.kind = "nfs";
        } else if (entry.type == "fuse.sshfs") {
            url = sshURL(entry.source);
            entry.volume.kind = "sftp";
        } else if (entry.type == "fuse.curlftpfs") {
            std::string source = entry.source;
            if (auto hash = source.find('#'); hash != std::string::npos) {
                source = source.substr(hash + 1);
            }
            url = NetworkURL::parse(source);
            entry.volume.kind = "ftp";
        } else if (entry.type == "fuse.rclone" || entry.type == "fuse" || entry.type == "fuse.davfs") {
            // rclone mounts made here carry the share's URL as their source; davfs carries its URL.
            url = NetworkURL::parse(entry.source);
            if (!url) {
                continue;
            }
            entry.volume.kind = NetworkURL::volumeKind(url->scheme);
        } else {
            continue;
        }
        if (url) {
            entry.volume.remountURL = url->text();
        }
        if (entry.type.starts_with("fuse")) {
            auto owner = option(superOptions, "user_id");
            if (owner && !owner->empty() && owner->find_first_not_of("0123456789") == std::string::npos) {
                entry.fuseOwner = static_cast<unsigned>(std::stoul(*owner));
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<NetworkMountEntry> NetworkMountTable::ownedBy(std::vector<NetworkMountEntry> entries, unsigned user) {
    std::erase_if(entries, [user](const NetworkMountEntry& entry) {
        return entry.type.starts_with("fuse") && entry.fuseOwner != user;
    });
    return entries;
}

std::vector<NetworkMountEntry> NetworkMountTable::read(const std::string& path, unsigned user) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return ownedBy(parse(text.str()), user);
}

}  // namespace harbormind
