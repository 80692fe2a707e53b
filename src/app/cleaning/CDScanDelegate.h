#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "cleaning/DMFolderManagerDelegate.h"

namespace harbormind {

// Carries a scan's or deletion's reports from its background thread to the main queue, where
// the windows act on them. Names arrive far faster than a window can show them, so only the
// latest one is passed on, at most one post at a time.
class CDScanDelegate final : public DMFolderManagerDelegate, public std::enable_shared_from_this<CDScanDelegate> {
public:
    std::function<void(const std::string& name)> onName;
    std::function<void()> onSearchFinish;
    std::function<void()> onDeleteFinish;
    // Drops the callbacks, so reports still queued for a closed window do nothing.
    void detach();

    void setStop(bool stop) { stop_ = stop; }
    bool isStop() override { return stop_; }
    void searchFileName(std::string_view name) override;
    void searchFinish() override;
    void deleteFileFinish() override;

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> namePosted_{false};
    std::mutex mutex_;
    std::string latestName_;
};

}  // namespace harbormind
