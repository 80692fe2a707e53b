#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "network/NetworkDriveArchive.h"
#include "network/NetworkDriveRecord.h"

namespace harbormind {

// The saved-drives file as this process knows it: what it last read or wrote there, a count
// of those reads and writes (so a change read before this process wrote the file is not
// followed), and whether the file was found damaged. Without a file store it does nothing.
class SavedNetworkDrivesFile {
public:
    using Bytes = NetworkDriveArchive::Bytes;
    // The file as read at one moment, and the count of reads and writes before it.
    struct Reading {
        std::optional<Bytes> bytes;
        std::uint64_t generation = 0;
    };
    enum class Change { ByUser, Automatic };

    explicit SavedNetworkDrivesFile(std::string path);

    const std::string& path() const { return path_; }
    // The file could not be read whole and is kept as it is until the list changes.
    bool damaged() const;

    // What the file holds at start; none when there is no file or it cannot be read.
    std::optional<NetworkDriveArchive::Contents> load();
    // Reads the file again: none when it is what this process last saw or wrote.
    std::optional<Reading> poll();
    // Takes a reading as seen and gives what to follow of it: none when this process wrote
    // the file meanwhile, or when the file is damaged (the drives it lost stay listed).
    std::optional<NetworkDriveArchive::Contents> follow(const Reading& reading);
    // Whether the list may be written now. The damaged file holds drives that could not be
    // read; only the user's own change of the list may replace it, and then it is kept aside first.
    bool makeWritable(Change change);
    // Writes the records, readable by the owner alone; false when the file could not be written.
    bool write(const std::vector<NetworkDriveRecord>& records);

private:
    const std::string path_;
    mutable std::mutex mutex_;
    std::optional<Bytes> seen_;
    std::uint64_t generation_ = 0;
    bool damaged_ = false;
};

}  // namespace harbormind
