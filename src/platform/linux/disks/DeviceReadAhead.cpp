#include "platform/linux/disks/DeviceReadAhead.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace harbormind {
namespace {

constexpr std::int64_t kib = 1024;

}  // namespace

DeviceReadAhead::~DeviceReadAhead() {
    for (const auto& [name, fd] : nodes_) {
        ::close(fd);
    }
}

std::vector<DeviceReadAhead::Range> DeviceReadAhead::rangesOf(std::int64_t sizeBytes, Areas areas) {
    std::vector<Range> ranges;
    // Ranges may overlap on a small device; asking twice for a page costs nothing.
    auto add = [&](std::int64_t offset, std::int64_t length) {
        offset = std::max<std::int64_t>(offset, 0);
        length = std::min(length, sizeBytes - offset);
        if (length > 0) {
            ranges.emplace_back(offset, length);
        }
    };
    if (areas == Areas::Table) {
        // The MBR, the GPT header and its entries, also with 4096-byte sectors.
        add(0, 64 * kib);
        return ranges;
    }
    add(0, 512 * kib);
    // The sectors some signatures are looked for at, at each power of two up to 4 MiB.
    for (std::int64_t offset = 512 * kib; offset <= 4096 * kib; offset *= 2) {
        add(offset, 4 * kib);
    }
    // The last labels of a pooled file system sit in the last half megabyte aligned down to
    // 256 KiB; RAID and volume-manager signatures in the last few sectors.
    const std::int64_t tail = 512 * kib + sizeBytes % (256 * kib);
    add(sizeBytes - tail, tail);
    return ranges;
}

void DeviceReadAhead::start(const std::string& name, const std::string& nodePath, std::int64_t sizeBytes,
                            Areas areas) {
    // Opened as the probe opens a node: without waiting for a medium, not becoming its terminal.
    const int fd = ::open(nodePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return;
    }
    // Asks the kernel to read; it starts each range and returns without waiting for it.
    for (const auto& [offset, length] : rangesOf(sizeBytes, areas)) {
        ::posix_fadvise(fd, offset, length, POSIX_FADV_WILLNEED);
    }
    std::lock_guard lock(mutex_);
    auto [it, added] = nodes_.emplace(name, fd);
    if (!added) {
        ::close(fd);
    }
}

int DeviceReadAhead::node(const std::string& name) const {
    std::lock_guard lock(mutex_);
    auto it = nodes_.find(name);
    return it == nodes_.end() ? -1 : it->second;
}

void DeviceReadAhead::release(const std::string& name) {
    int fd = -1;
    {
        std::lock_guard lock(mutex_);
        auto it = nodes_.find(name);
        if (it == nodes_.end()) {
            return;
        }
        fd = it->second;
        nodes_.erase(it);
    }
    ::close(fd);
}

}  // namespace harbormind
