#include "platform/linux/diskevents/LinuxDiskWatcherLog.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <mutex>

#include "support/Clock.h"

namespace harbormind {
namespace {

struct Entry {
    double at = 0;
    std::string name;
    std::string what;
};

struct Entries {
    std::mutex mutex;
    std::deque<Entry> entries;
};

Entries& entries() {
    static Entries kept;
    return kept;
}

}  // namespace

void LinuxDiskWatcherLog::note(const std::string& name, const std::string& what) {
    Entry entry{toSeconds(Clock::current().now()), name, what};
    Entries& log = entries();
    std::lock_guard lock(log.mutex);
    if (log.entries.size() >= capacity) {
        log.entries.pop_front();
    }
    log.entries.push_back(std::move(entry));
}

std::vector<std::string> LinuxDiskWatcherLog::report(const std::vector<std::string>& names, double since) {
    std::vector<std::string> lines;
    Entries& log = entries();
    std::lock_guard lock(log.mutex);
    for (const Entry& entry : log.entries) {
        const bool wanted = entry.name.empty() || std::find(names.begin(), names.end(), entry.name) != names.end();
        if (!wanted) {
            continue;
        }
        char at[32];
        std::snprintf(at, sizeof at, "%+.3f ", entry.at - since);
        lines.push_back(at + (entry.name.empty() ? std::string() : entry.name + ": ") + entry.what);
    }
    return lines;
}

void LinuxDiskWatcherLog::clear() {
    Entries& log = entries();
    std::lock_guard lock(log.mutex);
    log.entries.clear();
}

}  // namespace harbormind
