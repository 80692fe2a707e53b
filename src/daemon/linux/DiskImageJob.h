#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "daemon/DaemonFileDescriptor.h"
#include "daemon/linux/DiskImageStatus.h"
#include "engines/clone/BlockDevice.h"
#include "engines/clone/CloneOptions.h"
#include "engines/clone/CloneOutcome.h"
#include "engines/clone/CloneProgress.h"
#include "engines/clone/ImageFileSource.h"

namespace harbormind {

// One disk image made or restored with the clone's copy engine, on a thread of its own. Both
// ends are open before it starts (the checks are the caller's); the image file is the
// descriptor the user passed, so the daemon writes only into a file the user opened.
class DiskImageJob {
public:
    // Reads `source` into the image: raw and sparse, or compressed with zstd.
    static std::unique_ptr<DiskImageJob> create(std::string device, std::unique_ptr<clone::BlockDevice> source,
                                                DaemonFileDescriptor image, bool compress,
                                                clone::CloneOptions options);
    // Writes the image onto `destination`.
    static std::unique_ptr<DiskImageJob> restore(std::string device, std::unique_ptr<clone::ImageFileSource> image,
                                                 DaemonFileDescriptor imageFile,
                                                 std::unique_ptr<clone::BlockDevice> destination,
                                                 clone::CloneOptions options);
    ~DiskImageJob();
    DiskImageJob(const DiskImageJob&) = delete;
    DiskImageJob& operator=(const DiskImageJob&) = delete;

    DiskImageStatus status() const;
    bool running() const;
    void stop() { stop_ = true; }
    void waitUntilFinished();

private:
    DiskImageJob(std::string kind, std::string device, clone::CloneOptions options);
    void start(std::function<void()> work);
    void runCreate(clone::BlockDevice& source, int imageFd, bool compress);
    void runRestore(clone::ImageFileSource& image, clone::BlockDevice& destination);
    clone::CloneProgressSink progressSink();
    void end(const clone::CloneOutcome& outcome);

    clone::CloneOptions options_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    DiskImageStatus status_;
    std::mutex joinMutex_;  // one thread joins the worker
    std::thread worker_;
    // Kept open for the job's life.
    std::unique_ptr<clone::BlockDevice> device_;
    std::unique_ptr<clone::ImageFileSource> imageSource_;
    DaemonFileDescriptor imageFile_;
};

}  // namespace harbormind
