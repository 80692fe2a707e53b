#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "platform/linux/diskevents/Approval.h"
#include "platform/linux/disks/MountTable.h"

namespace harbormind {

// The changes to the mount table whose cause the disk watcher knows: mounts and unmounts the
// platform's helper performs for this process (approved before they began), and the unmounts
// that take a refused volume away again. Safe to use from any thread.
class LinuxMountExpectations {
public:
    void expect(Approval kind, const std::string& name);
    // The helper is done; true when it was the last one working on the disk.
    bool isLastHelper(const std::string& name) const;
    void settled(Approval kind, const std::string& name);
    bool helperRunning() const;
    // Whether the helper is mounting (`mounted`) or unmounting the disk.
    bool expects(bool mounted, const std::string& name) const;

    // The mount table last taken in, which stands for the disk's mount state while a helper
    // works on it: none when no helper does.
    std::optional<MountTable> heldTable(const std::string& name) const;
    void take(const MountTable& mounts);

    void veto(const std::string& name);
    // True once for a vetoed disk: its unmount is the one the veto caused.
    bool takeVeto(const std::string& name);
    void setVetoHandler(std::function<void(const std::string&)> handler);
    std::function<void(const std::string&)> vetoHandler() const;

private:
    mutable std::mutex mutex_;
    std::multiset<std::string> mounts_;
    std::multiset<std::string> unmounts_;
    std::set<std::string> vetoed_;
    std::function<void(const std::string&)> vetoHandler_;
    MountTable taken_;
};

}  // namespace harbormind
