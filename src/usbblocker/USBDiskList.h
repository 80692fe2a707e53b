#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileReadStatus.h"
#include "usbblocker/Drive.h"
#include "usbblocker/FileWatch.h"
#include "usbblocker/USBDiskListDelegate.h"
#include "usbblocker/USBDiskListServices.h"
#include "usbblocker/USBListKind.h"
#include "usbblocker/USBLists.h"

namespace harbormind {

// The white and black lists of USB disks, kept in memory and in one lists file shared by
// every process of the system. A watch on the file's folder re-reads the lists when any
// process changes the file and then tells the observers.
//
// The lists are read by the blocker engine's callbacks on background threads while the watch
// re-reads them on its queue, so every access takes the instance's lock; a re-read swaps in
// the new lists at once, never showing them half read.
class USBDiskList {
public:
    static constexpr const char* defaultSavePath = "/private/var/kestrane/usbblocker.cnf";
    static constexpr const char* defaultWatchedFolder = "/private/var";
    static constexpr double watchLatency = 1.0;
    // The system writes a few dozen bytes per disk; a larger file is not a lists file and is
    // treated like an unreadable one rather than read into memory.
    static constexpr std::size_t maximumFileSize = 8u << 20;

    // Made on first use over the current platform, watching from the main queue.
    static USBDiskList& shared();
    // The current platform's services and paths, as shared() uses them.
    static USBDiskListServices platformServices();

    explicit USBDiskList(USBDiskListServices services);
    ~USBDiskList();
    USBDiskList(const USBDiskList&) = delete;
    USBDiskList& operator=(const USBDiskList&) = delete;

    // Re-reads the file, then the administrator's lists files after it. A file that cannot be
    // read whole leaves no disk allowed and keeps the disks blocked so far blocked.
    void load();
    // Whether the last load read the file whole.
    bool isReadWhole() const;

    void addWhiteList(const std::string& name, std::int64_t size);
    void removeWhiteList(const std::string& name, std::int64_t size);
    void addBlackList(const std::string& name, std::int64_t size);
    void removeBlackList(const std::string& name, std::int64_t size);

    bool isInWhiteList(const std::string& name) const;
    // For any disk, partition or volume: whether its physical whole disk is white-listed.
    // None when the whole disk or its disk object cannot be had.
    std::optional<bool> isInWhiteListBSDName(const std::string& bsdName);
    bool isInBlackList(const std::string& name, std::int64_t size) const;
    // Whether an administrator's lists file names the disk (its entries cannot be removed here).
    bool isSetByAdministrator(const std::string& name) const;

    // Observers are held strongly and never removed.
    void addDelegate(std::shared_ptr<USBDiskListDelegate> delegate);

    std::vector<Drive> whiteList() const;
    std::vector<Drive> blackList() const;
    const std::string& savePath() const { return services_.savePath; }
    bool isWatching() const;

private:
    void add(const std::string& name, std::int64_t size, USBListKind kind);
    void remove(const std::string& name, std::int64_t size, USBListKind kind);
    void startWatch();
    void failClosed(const std::string& path, FileReadStatus status);
    // Appends the administrator's entries to `lists`; false when one of their files cannot be
    // read whole.
    bool readDropIns(USBLists& lists, std::vector<std::string>& names);
    void fileChanged(const FileWatch::Event& event);

    USBDiskListServices services_;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<USBDiskListDelegate>> delegates_;
    std::unique_ptr<FileWatch> fileWatch_;
    std::vector<Drive> whiteList_;
    std::vector<Drive> blackList_;
    std::vector<std::string> administratorNames_;
    bool readWhole_ = true;
};

}  // namespace harbormind
