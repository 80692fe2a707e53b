#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace harbormind {

// Has the kernel start reading, for many block devices at once, the places that reading their
// signatures looks at, so that the probes that follow find them in memory instead of each
// waiting for its device in turn (a loop device or a USB stick answers one request at a time,
// and a busy machine adds a wait to each). The kernel forgets a device's cached contents when
// its last user closes it, so each device stays open here until it is released.
class DeviceReadAhead {
public:
    // What the probe will read: only a partitioned disk's table, or the places of every
    // signature it knows (the first and last half megabyte, where pooled file systems keep
    // their labels, and a few sectors between).
    enum class Areas { Table, Signatures };
    // A byte range: offset and length.
    using Range = std::pair<std::int64_t, std::int64_t>;

    DeviceReadAhead() = default;
    ~DeviceReadAhead();
    DeviceReadAhead(const DeviceReadAhead&) = delete;
    DeviceReadAhead& operator=(const DeviceReadAhead&) = delete;

    // Opens the node and asks for its areas, without waiting for them; nothing when the node
    // cannot be opened (the probe then opens it itself, and finds the reason).
    void start(const std::string& name, const std::string& nodePath, std::int64_t sizeBytes, Areas areas);
    // The device's node opened by start(), or -1.
    int node(const std::string& name) const;
    // Closes the device's node: what was read of it is forgotten.
    void release(const std::string& name);

    // The ranges asked for on a device of this size.
    static std::vector<Range> rangesOf(std::int64_t sizeBytes, Areas areas);

private:
    mutable std::mutex mutex_;
    std::map<std::string, int> nodes_;
};

}  // namespace harbormind
