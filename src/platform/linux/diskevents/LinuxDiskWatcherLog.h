#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace harbormind {

// What the disk watchers of this process did lately, for a report when a disk does not show
// where it should: each look at the whole machine (when it started and ended, how many
// devices it read and showed, which probes were slow), each session's registration, and the
// last events of each device with what became of them. Process-wide and bounded: the oldest
// entries go first.
class LinuxDiskWatcherLog {
public:
    static constexpr std::size_t capacity = 4000;
    // A probe taking longer than this is noted by name.
    static constexpr double slowProbeSeconds = 1.0;

    // `name` empty for what concerns the whole machine.
    static void note(const std::string& name, const std::string& what);
    // Entries about the whole machine, then those about `names` (a disk and its partition,
    // say), oldest first, each as "+SECONDS name: what", its time counted from `since` (seconds
    // on the process's clock).
    static std::vector<std::string> report(const std::vector<std::string>& names, double since);
    static void clear();
};

}  // namespace harbormind
