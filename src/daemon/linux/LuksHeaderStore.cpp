#include "daemon/linux/LuksHeaderStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/linux/disks/SysfsBlockDevice.h"
#include "platform/linux/files/WholeFileWriter.h"

namespace harbormind {
namespace {

std::optional<std::string> readWhole(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string contents;
    char buffer[65536];
    ssize_t count;
    while ((count = ::read(fd, buffer, sizeof buffer)) > 0) {
        contents.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fd);
    if (count < 0) {
        return std::nullopt;
    }
    return contents;
}

std::string base64(const std::string& bytes) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t chunk = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) chunk |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) chunk |= static_cast<unsigned char>(bytes[i + 2]);
        out += alphabet[(chunk >> 18) & 63];
        out += alphabet[(chunk >> 12) & 63];
        out += i + 1 < bytes.size() ? alphabet[(chunk >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? alphabet[chunk & 63] : '=';
    }
    return out;
}

}  // namespace

LuksHeaderStore::LuksHeaderStore(std::string folder, std::string sysfsRoot)
    : folder_(std::move(folder)), sysfsRoot_(std::move(sysfsRoot)) {}

std::string LuksHeaderStore::headerPath(const std::string& name) const {
    return folder_ + "/" + name + ".luks2-header";
}

std::string LuksHeaderStore::identityPath(const std::string& name) const {
    return folder_ + "/" + name + ".identity";
}

std::string LuksHeaderStore::keyPendingPath(const std::string& name) const {
    return folder_ + "/" + name + ".recovery-key-pending";
}

bool LuksHeaderStore::prepareFolder() const {
    if (!WholeFileWriter::makeFolders(folder_, 0700)) {
        return false;
    }
    struct stat facts {};
    if (::lstat(folder_.c_str(), &facts) != 0 || !S_ISDIR(facts.st_mode) || facts.st_uid != ::geteuid()) {
        return false;
    }
    return (facts.st_mode & 077) == 0 || ::chmod(folder_.c_str(), 0700) == 0;
}

std::string LuksHeaderStore::identity(const std::string& name) const {
    auto device = SysfsBlockDevice::read(sysfsRoot_, name);
    if (!device) {
        return {};
    }
    std::ostringstream text;
    text << "size=" << device->sizeBytes << "\n";
    if (device->loopBackingFile) {
        text << "image=" << *device->loopBackingFile << "\n";
    }
    if (device->isPartition) {
        text << "partition=" << device->partitionNumber.value_or(0) << "\n";
        if (auto disk = SysfsBlockDevice::read(sysfsRoot_, device->wholeDiskName)) {
            text << "disk=" << disk->vendor << "/" << disk->model << "/" << disk->serial << "\n";
        }
    } else {
        text << "disk=" << device->vendor << "/" << device->model << "/" << device->serial << "\n";
    }
    return text.str();
}

bool LuksHeaderStore::has(const std::string& name) const {
    auto recorded = readWhole(identityPath(name));
    struct stat facts {};
    return recorded && ::lstat(headerPath(name).c_str(), &facts) == 0 && S_ISREG(facts.st_mode) &&
           *recorded == identity(name) && !recorded->empty();
}

bool LuksHeaderStore::heldByAnother(const std::string& name) const {
    struct stat facts {};
    return ::lstat(headerPath(name).c_str(), &facts) == 0 && !has(name);
}

bool LuksHeaderStore::remember(const std::string& name) const {
    std::string text = identity(name);
    return !text.empty() && WholeFileWriter::write(identityPath(name), text, 0600, CreateFolders::No);
}

namespace {

// The serial of a disk= line ("disk=vendor/model/serial"), or a loop device's image, makes
// an identity that one device alone has.
bool distinctive(const std::string& identity) {
    if (identity.find("\nimage=") != std::string::npos) {
        return true;
    }
    auto disk = identity.find("disk=");
    if (disk == std::string::npos) {
        return false;
    }
    std::string line = identity.substr(disk, identity.find('\n', disk) - disk);
    auto serial = line.rfind('/');
    return serial != std::string::npos && serial + 1 < line.size();
}

bool isRegularFile(const std::string& path) {
    struct stat facts {};
    return ::lstat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode);
}

}  // namespace

std::optional<std::string> LuksHeaderStore::followMovedDevice(const std::string& name) const {
    struct stat facts {};
    if (::lstat(headerPath(name).c_str(), &facts) == 0) {
        return std::nullopt;
    }
    std::string wanted = identity(name);
    if (wanted.empty() || !distinctive(wanted)) {
        return std::nullopt;
    }
    const std::string suffix = ".identity";
    std::vector<std::string> owners;
    DIR* folder = ::opendir(folder_.c_str());
    for (dirent* entry; folder && (entry = ::readdir(folder));) {
        std::string file = entry->d_name;
        if (file.size() <= suffix.size() || !file.ends_with(suffix)) {
            continue;
        }
        std::string other = file.substr(0, file.size() - suffix.size());
        if (other != name && isRegularFile(identityPath(other)) && isRegularFile(headerPath(other)) &&
            readWhole(identityPath(other)) == wanted && identity(other) != wanted) {
            owners.push_back(other);
        }
    }
    if (folder) {
        ::closedir(folder);
    }
    if (owners.size() != 1) {
        return std::nullopt;
    }
    const std::string& old = owners.front();
    if (::rename(headerPath(old).c_str(), headerPath(name).c_str()) != 0 ||
        ::rename(identityPath(old).c_str(), identityPath(name).c_str()) != 0) {
        return std::nullopt;
    }
    if (isRegularFile(keyPendingPath(old))) {
        ::rename(keyPendingPath(old).c_str(), keyPendingPath(name).c_str());
    }
    return old;
}

std::optional<std::string> LuksHeaderStore::setAside(const std::string& name) const {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string suffix = ".unused" + (attempt ? "." + std::to_string(attempt) : std::string());
        std::string header = headerPath(name) + suffix;
        std::string identity = identityPath(name) + suffix;
        struct stat facts {};
        if (::lstat(header.c_str(), &facts) == 0 || ::lstat(identity.c_str(), &facts) == 0) {
            continue;
        }
        if (::rename(headerPath(name).c_str(), header.c_str()) != 0) {
            return std::nullopt;
        }
        ::rename(identityPath(name).c_str(), identity.c_str());
        return header;
    }
    return std::nullopt;
}

bool LuksHeaderStore::markKeyPending(const std::string& name) const {
    std::string text = identity(name);
    return !text.empty() && WholeFileWriter::write(keyPendingPath(name), text, 0600, CreateFolders::No);
}

// Only for the device it was written for: a record left for another device under the same
// name does not count.
bool LuksHeaderStore::keyPending(const std::string& name) const {
    auto recorded = readWhole(keyPendingPath(name));
    return recorded && !recorded->empty() && *recorded == identity(name);
}

void LuksHeaderStore::clearKeyPending(const std::string& name) const {
    ::unlink(keyPendingPath(name).c_str());
}

std::optional<std::string> LuksHeaderStore::readBase64(const std::string& name) const {
    if (!has(name)) {
        return std::nullopt;
    }
    auto bytes = readWhole(headerPath(name));
    if (!bytes) {
        return std::nullopt;
    }
    return base64(*bytes);
}

}  // namespace harbormind
