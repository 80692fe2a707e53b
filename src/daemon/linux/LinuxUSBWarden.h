#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "daemon/linux/USBWardenStore.h"
#include "platform/linux/disks/LinuxPaths.h"
#include "usbblocker/USBListsEditResult.h"
#include "xpc/XPCCodeAnswer.h"

namespace harbormind {

class USBDiskList;
struct LinuxBlockerDisk;

// "USB Warden" as the daemon enforces it for every user: while it is on, a volume of an
// external disk on one of the buses the blocker guards is mounted only when the lists allow
// its disk, whoever asks (the user's own agent may be stopped: nothing here depends on it).
// A disk on the white list always mounts; in the white-list-only mode nothing else does; in
// the asking mode a disk on neither list mounts once the user allowed it (until it is
// unplugged), and a black-listed disk never does.
//
// The lists are the lists file and the administrator's lists files, read at each decision.
class LinuxUSBWarden {
public:
    struct Options {
        std::string listsFile = "/var/lib/kestrane/usbblocker.cnf";
        // Loop devices whose image lies in this folder count as USB disks: for trials and
        // tests on machines without USB. Empty: none.
        std::string guardedImageFolder;
        LinuxPaths paths;
    };

    explicit LinuxUSBWarden(Options options);

    USBWardenStore& store() { return store_; }

    // None when `name` may be mounted; otherwise why not.
    std::optional<std::string> mountRefusal(const std::string& name);
    // The asking mode's "Allow" for the disk of `name`, until that disk is unplugged.
    XPCCodeAnswer allowOnce(const std::string& name);

    USBListsEditResult addEntry(const std::string& name, std::int64_t size, bool white);
    // Takes the name off the white or the black list.
    USBListsEditResult removeEntry(const std::string& name, bool white);

    // While it is on, unmounts every mounted volume it would refuse (a desktop's automounter,
    // udisks or mount(8) put it there, not the daemon); the mount points it unmounted.
    std::vector<std::string> sweep();

private:
    std::unique_ptr<USBDiskList> lists();
    bool guards(const LinuxBlockerDisk& disk) const;

    Options options_;
    USBWardenStore store_;
    std::mutex mutex_;
    std::map<std::string, std::string> allowed_;  // whole disk -> the medium the user allowed
};

}  // namespace harbormind
