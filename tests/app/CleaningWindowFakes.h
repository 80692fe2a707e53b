#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "support/Clock.h"
#include "platform/Workspace.h"
#include "platform/linux/files/LinuxDirectoryWalker.h"
#include "platform/sim/SimJunkLocations.h"
#include "testsupport/FixedHomeUsers.h"

namespace harbormind::test {

// A desktop that records what it was asked to show or open; it finds only existing entries.
class RecordingWorkspace final : public Workspace {
public:
    bool openFolder(const std::string& path) override { return note("folder " + path); }
    bool openURL(const std::string& url) override { return note("url " + url); }
    bool showItem(const std::string& path) override { return note("show " + path) && exists(path); }
    std::string fullDiskAccessSettingsURL() override { return {}; }
    std::string securitySettingsURL() override { return {}; }

    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    bool note(const std::string& request) {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        return true;
    }
    static bool exists(const std::string& path);

    std::mutex mutex_;
    std::vector<std::string> requests_;
};

// The junk places of the home folder only (the shared temporary folder left out).
class HomeJunkLocations final : public SimJunkLocations {
public:
    std::vector<JunkCategory> categories(const std::string& home) override {
        auto table = SimJunkLocations::categories(home);
        table.erase(table.begin());
        return table;
    }
};

// A real walker that holds the scan before its `holdAt`-th folder listing until released, so a
// test can press "Stop the scan" at a known point of the scan.
class GatedWalker final : public LinuxDirectoryWalker {
public:
    explicit GatedWalker(int holdAt) : holdAt_(holdAt) {}

    bool list(Handle folder, DirectoryListing& out) override {
        {
            std::lock_guard lock(mutex_);
            if (++listings_ != holdAt_) {
                return LinuxDirectoryWalker::list(folder, out);
            }
            held_ = true;
        }
        // The main thread may be waiting on the clock for this.
        Clock::current().notifyAll();
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return released_; });
        }
        return LinuxDirectoryWalker::list(folder, out);
    }
    bool isHeld() {
        std::lock_guard lock(mutex_);
        return held_;
    }
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    int listings() {
        std::lock_guard lock(mutex_);
        return listings_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int holdAt_;
    int listings_ = 0;
    bool held_ = false;
    bool released_ = false;
};

}  // namespace harbormind::test
