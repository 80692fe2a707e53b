#include "cleaning/DeviceNumber.h"

#include <array>
#include <atomic>
#include <mutex>

namespace harbormind {

namespace {

constexpr std::size_t tableSize = 65536;
constexpr std::uint16_t overflowIndex = tableSize - 1;
constexpr std::size_t chunkSize = 256;

// Entries are only ever added, each written before the count that publishes it, so a reader
// needs no lock. The entries come in chunks made as they are needed: a process sees a handful of
// devices, and a table written whole would take half a megabyte of memory.
struct DeviceTable {
    std::array<std::atomic<std::atomic<std::uint64_t>*>, tableSize / chunkSize> chunks{};
    std::atomic<std::size_t> count{1};  // entry 0 is device 0
    std::mutex adding;

    DeviceTable() { chunks[0].store(new std::atomic<std::uint64_t>[chunkSize]{}); }
    std::atomic<std::uint64_t>& entry(std::size_t index) const {
        return chunks[index / chunkSize].load(std::memory_order_acquire)[index % chunkSize];
    }
    // Makes room for entry `index`; called with `adding` held.
    void reserve(std::size_t index) {
        if (chunks[index / chunkSize].load(std::memory_order_relaxed) == nullptr) {
            chunks[index / chunkSize].store(new std::atomic<std::uint64_t>[chunkSize]{}, std::memory_order_release);
        }
    }
};

DeviceTable& table() {
    static auto* shared = new DeviceTable;  // lives as long as the process, like the nodes
    return *shared;
}

std::uint16_t find(const DeviceTable& devices, std::uint64_t device, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (devices.entry(i).load(std::memory_order_relaxed) == device) {
            return static_cast<std::uint16_t>(i);
        }
    }
    return overflowIndex;
}

}  // namespace

std::uint16_t DeviceNumber::indexOf(std::uint64_t device) {
    // Nodes made one after another nearly always share their device.
    thread_local std::uint64_t lastDevice = 0;
    thread_local std::uint16_t lastIndex = 0;
    if (device == lastDevice) {
        return lastIndex;
    }
    DeviceTable& devices = table();
    std::uint16_t index = find(devices, device, devices.count.load(std::memory_order_acquire));
    if (index == overflowIndex) {
        std::lock_guard lock(devices.adding);
        std::size_t count = devices.count.load(std::memory_order_relaxed);
        index = find(devices, device, count);
        if (index == overflowIndex && count < overflowIndex) {
            devices.reserve(count);
            devices.entry(count).store(device, std::memory_order_relaxed);
            devices.count.store(count + 1, std::memory_order_release);
            index = static_cast<std::uint16_t>(count);
        }
    }
    if (index != overflowIndex) {
        lastDevice = device;
        lastIndex = index;
    }
    return index;
}

DeviceNumber::operator std::uint64_t() const {
    if (index_ == overflowIndex) {
        return unknown;
    }
    return table().entry(index_).load(std::memory_order_relaxed);
}

}  // namespace harbormind
