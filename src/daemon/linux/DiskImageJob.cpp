#include "daemon/linux/DiskImageJob.h"

#include <sys/stat.h>

#include "engines/clone/ImageCopy.h"
#include "support/Log.h"

namespace harbormind {
namespace {

using namespace clone;

std::string endText(CloneEnd end) {
    switch (end) {
    case CloneEnd::finished: return "finished";
    case CloneEnd::stopped: return "stopped";
    default: return "failed";
    }
}

}  // namespace

DiskImageJob::DiskImageJob(std::string kind, std::string device, CloneOptions options) : options_(options) {
    status_.state = "running";
    status_.kind = std::move(kind);
    status_.device = std::move(device);
}

DiskImageJob::~DiskImageJob() {
    stop();
    waitUntilFinished();
}

std::unique_ptr<DiskImageJob> DiskImageJob::create(std::string device, std::unique_ptr<BlockDevice> source,
                                                   DaemonFileDescriptor image, bool compress, CloneOptions options) {
    std::unique_ptr<DiskImageJob> job(new DiskImageJob("create", std::move(device), options));
    job->status_.totalBytes = source->size();
    job->device_ = std::move(source);
    job->imageFile_ = std::move(image);
    DiskImageJob* self = job.get();
    job->start([self, compress] { self->runCreate(*self->device_, self->imageFile_.get(), compress); });
    return job;
}

std::unique_ptr<DiskImageJob> DiskImageJob::restore(std::string device, std::unique_ptr<ImageFileSource> image,
                                                    DaemonFileDescriptor imageFile,
                                                    std::unique_ptr<BlockDevice> destination, CloneOptions options) {
    std::unique_ptr<DiskImageJob> job(new DiskImageJob("restore", std::move(device), options));
    job->status_.totalBytes = image->size();
    job->imageSource_ = std::move(image);
    job->imageFile_ = std::move(imageFile);
    job->device_ = std::move(destination);
    DiskImageJob* self = job.get();
    job->start([self] { self->runRestore(*self->imageSource_, *self->device_); });
    return job;
}

void DiskImageJob::start(std::function<void()> work) {
    worker_ = std::thread(std::move(work));
}

CloneProgressSink DiskImageJob::progressSink() {
    return [this](const CloneProgress& progress) {
        std::lock_guard lock(mutex_);
        status_.doneBytes = progress.current;
        status_.unreadableBytes = std::max(status_.unreadableBytes, progress.unreadableBytes);
        return CloneReply::proceed;
    };
}

void DiskImageJob::runCreate(BlockDevice& source, int imageFd, bool compress) {
    end(ImageCopy::create(source, imageFd, compress, options_, stop_, progressSink()));
}

void DiskImageJob::runRestore(ImageFileSource& image, BlockDevice& destination) {
    CloneOutcome outcome = ImageCopy::restore(image, destination, options_, stop_, progressSink());
    if (outcome.end == CloneEnd::finished) {
        destination.rereadPartitions();
    }
    end(outcome);
}

void DiskImageJob::end(const CloneOutcome& outcome) {
    struct stat info {};
    const bool sized = status_.kind == "create" && ::fstat(imageFile_.get(), &info) == 0;
    std::lock_guard lock(mutex_);
    status_.state = endText(outcome.end);
    status_.unreadableBytes = outcome.unreadableBytes;
    if (outcome.end == CloneEnd::finished) {
        status_.doneBytes = status_.totalBytes;
    }
    if (sized) {
        status_.imageBytes = static_cast<std::uint64_t>(info.st_blocks) * 512;
    }
    status_.reason = outcome.reason;
    Log::info("disk image " + status_.kind + " of " + status_.device + " " + status_.state +
              (status_.reason.empty() ? std::string() : ": " + status_.reason));
}

DiskImageStatus DiskImageJob::status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

bool DiskImageJob::running() const {
    return status().state == "running";
}

void DiskImageJob::waitUntilFinished() {
    std::lock_guard lock(joinMutex_);
    if (worker_.joinable()) {
        worker_.join();
    }
}

}  // namespace harbormind
