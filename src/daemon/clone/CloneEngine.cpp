#include "daemon/clone/CloneEngine.h"

#include <sys/stat.h>

#include "daemon/clone/CloneCopier.h"
#include "daemon/clone/CloneDevicePath.h"
#include "daemon/clone/ClonePairCheck.h"
#include "support/Log.h"

namespace harbormind::clone {
namespace {

BlockDevice::Caching caching(const CloneOptions& options) {
    return options.directIo ? BlockDevice::Caching::direct : BlockDevice::Caching::buffered;
}

DMProgressError errorOf(CloneEnd end) {
    switch (end) {
        case CloneEnd::sourceGone: return DMProgressError::eErrorSourceStroageDisapper;
        case CloneEnd::destinationGone: return DMProgressError::eErrorDestinStroageDisapper;
        case CloneEnd::writeFailed: return DMProgressError::FVE_ERROR_WRITE_SECTOR;
        case CloneEnd::finished:
        case CloneEnd::stopped: break;
    }
    return DMProgressError::noError;
}

}  // namespace

CloneEngine::CloneEngine(CloneOptions options, CloneSysfs sysfs)
    : options_(std::move(options)), sysfs_(std::move(sysfs)), store_(options_.stateFolder) {}

CloneEngine::~CloneEngine() {
    stopAndWait();
}

std::int64_t CloneEngine::checkDiskWithStrDestinDevice(const std::string& strDestinDevice,
                                                       const std::string& strSourceDevice) {
    ClonePair pair;
    std::string reason;
    auto code =
        ClonePairCheck(sysfs_, caching(options_)).check(strDestinDevice, strSourceDevice, pair, reason);
    if (code != DMCloneErrorCode::noError) {
        Log::warning("clone: " + strSourceDevice + " onto " + strDestinDevice + " refused: " + reason);
    }
    return static_cast<std::int64_t>(code);
}

std::int64_t CloneEngine::clonDeviceWithStrDestinDevice(const std::string& strDestinDevice,
                                                        const std::string& strSourceDevice, bool isCover,
                                                        CloneProgressSink progress) {
    std::lock_guard lock(mutex_);
    if (running_.load()) {
        Log::warning("clone: a clone is already running");
        return -1;
    }
    if (worker_.joinable()) {
        worker_.join();
    }
    auto pair = std::make_shared<ClonePair>();
    std::string reason;
    auto code =
        ClonePairCheck(sysfs_, caching(options_)).check(strDestinDevice, strSourceDevice, *pair, reason);
    if (code != DMCloneErrorCode::noError) {
        Log::warning("clone: " + strSourceDevice + " onto " + strDestinDevice + " refused: " + reason);
        return static_cast<std::int64_t>(code);
    }
    auto destination = sysfs_.stableIdentity(pair->destination->deviceNumber());
    if (!destination) {
        Log::warning("clone: " + strDestinDevice +
                     " has no serial number or backing file; this clone cannot resume");
    }
    CloneMap map = startingMap(*pair, destination, isCover);
    stop_ = false;
    running_ = true;
    worker_ = std::thread([this, pair, map, keeps = destination.has_value(), progress = std::move(progress)] {
        copy(pair, map, keeps, progress);
    });
    return 0;
}

CloneMap CloneEngine::startingMap(const ClonePair& pair, const std::optional<std::string>& destination,
                                  bool isCover) const {
    CloneMap fresh;
    dev_t source = pair.source->deviceNumber();
    fresh.sourceSize = pair.source->size();
    fresh.sourceName = sysfs_.name(source).value_or(pair.source->path());
    // Without a hardware identity the source is known by its name and size only.
    fresh.sourceIdentity = sysfs_.stableIdentity(source).value_or("name:" + fresh.sourceName);
    if (!destination) {
        return fresh;
    }
    fresh.destinationIdentity = *destination;
    auto saved = store_.load(*destination);
    if (!saved || isCover) {
        return fresh;
    }
    if (saved->sourceIdentity != fresh.sourceIdentity || saved->sourceSize != fresh.sourceSize) {
        Log::warning("clone: the interrupted clone on " + pair.destination->path() +
                     " came from another source; copying from the start");
        return fresh;
    }
    Log::info("clone: resuming with " + std::to_string(saved->done.totalBytes()) + " bytes already copied");
    saved->sourceName = fresh.sourceName;
    return *saved;
}

void CloneEngine::copy(std::shared_ptr<ClonePair> pair, CloneMap map, bool keepsMap,
                       CloneProgressSink progress) {
    auto save = [this, keepsMap](const CloneMap& current) {
        if (keepsMap) {
            store_.save(current);
        }
    };
    save(map);  // marks the destination as interrupted until the copy completes
    CloneOutcome outcome;
    try {
        CloneCopier copier(*pair->source, *pair->destination, map, options_, stop_, save, progress);
        outcome = copier.run();
    } catch (const std::exception& error) {
        Log::error(std::string("clone: ") + error.what());
        outcome.end = CloneEnd::writeFailed;
    }
    finish(outcome, map, keepsMap, *pair, progress);
    {
        std::lock_guard lock(outcomeMutex_);
        lastOutcome_ = outcome;
    }
    running_ = false;
}

void CloneEngine::finish(const CloneOutcome& outcome, const CloneMap& map, bool keepsMap,
                         const ClonePair& pair, const CloneProgressSink& progress) {
    if (outcome.unreadableBytes > 0) {
        Log::warning("clone: " + std::to_string(outcome.unreadableBytes) +
                     " bytes of the source could not be read and were written as zeros");
    }
    if (outcome.end == CloneEnd::finished) {
        if (keepsMap) {
            store_.remove(map.destinationIdentity);
        }
        pair.destination->rereadPartitions();
    }
    if (!progress) {
        return;
    }
    CloneProgress last;
    last.status = outcome.end == CloneEnd::stopped ? DMProgressStatus::suspended : DMProgressStatus::finished;
    last.total = map.sourceSize;
    last.current = map.done.totalBytes();
    last.error = errorOf(outcome.end);
    last.unreadableBytes = outcome.unreadableBytes;
    progress(last);
}

std::optional<std::string> CloneEngine::identityOf(const std::string& device) const {
    struct stat info {};
    std::string path = blockDevicePath(device);
    if (::stat(path.c_str(), &info) != 0 || !S_ISBLK(info.st_mode)) {
        return std::nullopt;
    }
    return sysfs_.stableIdentity(info.st_rdev);
}

bool CloneEngine::isCloneInterruptDeviceWithStrDevice(const std::string& strDevice) const {
    auto identity = identityOf(strDevice);
    return identity && store_.load(*identity).has_value();
}

std::string CloneEngine::getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(
    const std::string& strDestinDevice) const {
    auto identity = identityOf(strDestinDevice);
    auto map = identity ? store_.load(*identity) : std::nullopt;
    if (!map) {
        return {};
    }
    if (map->sourceIdentity.rfind("name:", 0) == 0) {
        return map->sourceName;
    }
    return sysfs_.nameWithIdentity(map->sourceIdentity).value_or(map->sourceIdentity);
}

void CloneEngine::stopCloneWithFlag(bool flag) {
    if (flag) {
        stop_ = true;
    }
}

void CloneEngine::stopAndWait() {
    stop_ = true;
    std::lock_guard lock(mutex_);
    if (worker_.joinable()) {
        worker_.join();
    }
}

void CloneEngine::waitUntilFinished() {
    std::lock_guard lock(mutex_);
    if (worker_.joinable()) {
        worker_.join();
    }
}

CloneOutcome CloneEngine::lastOutcome() const {
    std::lock_guard lock(outcomeMutex_);
    return lastOutcome_;
}

}  // namespace harbormind::clone
