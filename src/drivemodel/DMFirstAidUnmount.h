#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace harbormind {

class DMLocalDriveObject;

// Takes a mounted volume out of use for First Aid and puts it back afterwards. A checker reads
// the device underneath the file system: on a mounted volume it sees a file system that
// changes while it reads, with counters on disk that lag behind, and reports damage that is
// not there; a repair of a mounted volume would corrupt it.
class DMFirstAidUnmount {
public:
    explicit DMFirstAidUnmount(std::shared_ptr<DMLocalDriveObject> drive);

    // Unmounts the drive when it is mounted (a plain unmount: nothing in use is forced) and
    // waits, up to `unmountChecks` one-second looks, until it reports itself unmounted. The
    // reason it stays mounted, or none when it is not mounted now.
    std::optional<std::string> unmount();
    // Whether unmount() took the drive out of use, so it is to be mounted again.
    bool unmounted() const { return unmounted_; }
    // The line that tells the user the drive was unmounted for the check.
    std::string unmountedNote() const;
    // Mounts the drive again when unmount() unmounted it, once. The line that tells the user
    // where it went, or why it stays unmounted; none when there was nothing to do.
    std::optional<std::string> mountAgain();

    static constexpr int unmountChecks = 60;

private:
    std::shared_ptr<DMLocalDriveObject> drive_;
    std::optional<std::string> mountPoint_;
    std::atomic<bool> unmounted_{false};
};

}  // namespace harbormind
