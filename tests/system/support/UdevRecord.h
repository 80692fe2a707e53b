#pragma once

#include <memory>
#include <string>

namespace harbormind::test {

// What udev records about a block device (/run/udev/data/b<major>:<minor>): its file system and
// partition facts, which the platform reads for a device node its user may not open. On a
// desktop udev writes them; where no udev runs (a container), a system test writes the records
// of its own devices as udev would, from `blkid -p -o udev`, and removes them by exact name.
class UdevRecord {
public:
    static constexpr const char* dataFolder = "/run/udev/data";

    // Null when udev runs here (it keeps its own records) or the device cannot be probed.
    static std::unique_ptr<UdevRecord> write(const std::string& devicePath);
    ~UdevRecord();
    UdevRecord(const UdevRecord&) = delete;
    UdevRecord& operator=(const UdevRecord&) = delete;

    // Probes the device again, after its contents changed, as udev does on a change event.
    void refresh();

private:
    UdevRecord() = default;

    std::string devicePath_;
    std::string recordPath_;
};

}  // namespace harbormind::test
