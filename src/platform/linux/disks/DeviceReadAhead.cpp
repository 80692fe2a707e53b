#include "platform/linux/disks/DeviceReadAhead.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace harbormind {
namespace {

constexpr std::int64_t kib = 1024;

// The ranges in order, those that overlap or touch made one: each request has a cost of its own.
std::vector<DeviceReadAhead::Range> merged(std::vector<DeviceReadAhead::Range> ranges) {
    std::sort(ranges.begin(), ranges.end());
    std::vector<DeviceReadAhead::Range> result;
    for (const auto& [offset, length] : ranges) {
        if (!result.empty() && offset <= result.back().first + result.back().second) {
            auto& last = result.back();
            last.second = std::max(last.second, offset + length - last.first);
        } else {
            result.emplace_back(offset, length);
        }
    }
    return result;
}

}  // namespace

DeviceReadAhead::~DeviceReadAhead() {
    for (const auto& [name, fd] : nodes_) {
        ::close(fd);
    }
}

std::vector<DeviceReadAhead::Range> DeviceReadAhead::rangesOf(std::int64_t sizeBytes, Areas areas) {
    std::vector<Range> ranges;
    // Ranges may reach past the end of a small device: they are cut to it.
    auto add = [&](std::int64_t offset, std::int64_t length) {
        offset = std::max<std::int64_t>(offset, 0);
        length = std::min(length, sizeBytes - offset);
        if (length > 0) {
            ranges.emplace_back(offset, length);
        }
    };
    // The MBR, the GPT header and its entries (also with 4096-byte sectors), and the
    // superblocks of most file systems.
    add(0, 64 * kib);
    if (areas == Areas::Table) {
        return merged(std::move(ranges));
    }
    // The sectors some signatures are looked for at, at each power of two up to 4 MiB.
    for (std::int64_t offset = 128 * kib; offset <= 4096 * kib; offset *= 2) {
        add(offset, 4 * kib);
    }
    // RAID and volume-manager signatures sit in the last 128 KiB.
    add(sizeBytes - 128 * kib, 128 * kib);
    // A pooled file system keeps two labels of 256 KiB at the start and two at the end (aligned
    // down to 256 KiB), and is looked for only on devices of 64 MiB or more.
    if (sizeBytes >= 64 * 1024 * kib) {
        add(0, 512 * kib);
        const std::int64_t tail = 512 * kib + sizeBytes % (256 * kib);
        add(sizeBytes - tail, tail);
    }
    return merged(std::move(ranges));
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
