#include "engines/clone/CloneEngine.h"

#include <sys/stat.h>

#include "engines/clone/CloneCopier.h"
#include "engines/clone/CloneDevicePath.h"
#include "engines/clone/ClonePairCheck.h"
#include "engines/clone/CloneSourceSample.h"
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

const char* const startOver = "; start the clone over to copy it from the beginning";

}  // namespace

// One clone from its start: the opened pair, the map it begins with, and what the store held
// for the destination before (put back when the clone is stopped before writing anything).
struct CloneEngine::Start {
    ClonePair pair;
    std::string description;  // "SOURCE onto DESTINATION"
    CloneMap map;
    bool keepsMap = false;
    CloneMapStore::Found previous;
    std::string notice;
};

CloneEngine::CloneEngine(CloneOptions options, CloneSysfs sysfs)
    : options_(std::move(options)), sysfs_(std::move(sysfs)), store_(options_.stateFolder), clock_(Clock::current()) {}

CloneEngine::~CloneEngine() {
    stopAndWait();
}

CodeResult CloneEngine::checkPair(const std::string& strDestinDevice, const std::string& strSourceDevice) {
    ClonePair pair;
    std::string reason;
    auto code =
        ClonePairCheck(sysfs_, caching(options_)).check(strDestinDevice, strSourceDevice, pair, reason);
    if (code != DMCloneErrorCode::noError) {
        Log::warning("clone: " + strSourceDevice + " onto " + strDestinDevice + " refused: " + reason);
    }
    return {static_cast<std::int64_t>(code), reason};
}

std::int64_t CloneEngine::checkDiskWithStrDestinDevice(const std::string& strDestinDevice,
                                                       const std::string& strSourceDevice) {
    return checkPair(strDestinDevice, strSourceDevice).code;
}

std::int64_t CloneEngine::clonDeviceWithStrDestinDevice(const std::string& strDestinDevice,
                                                        const std::string& strSourceDevice, bool isCover,
                                                        CloneProgressSink progress) {
    return startClone(strDestinDevice, strSourceDevice, isCover, std::move(progress)).code;
}

CodeResult CloneEngine::startClone(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                    bool isCover, CloneProgressSink progress) {
    std::lock_guard lock(mutex_);
    if (running_.load()) {
        Log::warning("clone: a clone is already running");
        return {startRefused, "another clone is running; only one runs at a time"};
    }
    if (worker_.joinable()) {
        worker_.join();
    }
    auto start = std::make_shared<Start>();
    start->description = strSourceDevice + " onto " + strDestinDevice;
    std::string reason;
    auto code = ClonePairCheck(sysfs_, caching(options_))
                    .check(strDestinDevice, strSourceDevice, start->pair, reason);
    if (code != DMCloneErrorCode::noError) {
        Log::warning("clone: " + start->description + " refused: " + reason);
        return {static_cast<std::int64_t>(code), reason};
    }
    if (auto refusal = prepare(*start, isCover)) {
        Log::warning("clone: " + start->description + " refused: " + refusal->message);
        return *refusal;
    }
    {
        std::lock_guard stopLock(stopMutex_);
        if (takeEarlyStop()) {
            Log::info("clone: " + start->description + " was stopped before it started");
            return {startRefused, "the clone was stopped before it started; nothing was written"};
        }
        stop_ = false;
        running_ = true;
        runningDestination_ = start->pair.destination->deviceNumber();
    }
    Log::info("clone: " + start->description + " starts");
    worker_ = std::thread([this, start, progress = std::move(progress)] { copy(start, progress); });
    return {0, start->notice};
}

// The map the clone begins with; a refusal when the destination's record forbids the resume.
std::optional<CodeResult> CloneEngine::prepare(Start& start, bool isCover) const {
    const BlockDevice& source = *start.pair.source;
    CloneMap fresh;
    fresh.sourceSize = source.size();
    fresh.sectorSize = source.sectorSize();
    fresh.sourceName = sysfs_.name(source.deviceNumber()).value_or(source.path());
    // Without a hardware identity the source is known by its name and size, and its contents.
    fresh.sourceIdentity = sysfs_.stableIdentity(source.deviceNumber()).value_or("name:" + fresh.sourceName);
    auto destination = sysfs_.stableIdentity(start.pair.destination->deviceNumber());
    start.map = fresh;
    start.keepsMap = destination.has_value();
    if (!destination) {
        Log::warning("clone: " + start.pair.destination->path() +
                     " has no serial number or backing file; this clone cannot resume");
        return std::nullopt;
    }
    start.map.destinationIdentity = *destination;
    start.map.sourceSample = sourceSample(*start.pair.source);
    start.previous = store_.find(*destination);
    if (isCover || !start.previous.present) {
        return std::nullopt;
    }
    const std::string& name = start.pair.destination->path();
    if (start.previous.damaged()) {
        start.notice = "the record of the interrupted clone on " + name +
                       " is damaged and cannot be trusted; the clone starts over from the beginning";
        return std::nullopt;
    }
    const CloneMap& saved = *start.previous.map;
    if (saved.sourceIdentity != fresh.sourceIdentity || saved.sourceSize != fresh.sourceSize ||
        saved.sectorSize != fresh.sectorSize) {
        return CodeResult{startRefused, "the interrupted clone on " + name + " came from another source (" +
                                             saved.sourceName + ")" + startOver};
    }
    if (saved.sourceSample != start.map.sourceSample) {
        return CodeResult{startRefused, source.path() +
                                             " no longer holds what the interrupted clone was copying (its "
                                             "contents changed, or it is another disk of the same name and size)" +
                                             startOver};
    }
    Log::info("clone: resuming with " + std::to_string(saved.done.totalBytes()) + " bytes already copied");
    std::string sample = start.map.sourceSample;
    start.map = saved;
    start.map.sourceName = fresh.sourceName;
    start.map.sourceSample = sample;
    return std::nullopt;
}

bool CloneEngine::takeEarlyStop() {
    bool stopped = earlyStop_ && clock_.now() - *earlyStop_ <= options_.earlyStopWindow;
    earlyStop_.reset();
    return stopped;
}

void CloneEngine::copy(std::shared_ptr<Start> start, CloneProgressSink progress) {
    auto save = [this, keepsMap = start->keepsMap](const CloneMap& current) {
        if (keepsMap) {
            store_.save(current);
        }
    };
    CloneOutcome outcome;
    outcome.end = CloneEnd::stopped;
    if (!stop_.load()) {
        save(start->map);  // marks the destination as interrupted until the copy completes
        try {
            CloneCopier copier(*start->pair.source, *start->pair.destination, start->map, options_, stop_, save,
                               progress);
            outcome = copier.run();
        } catch (const std::exception& error) {
            Log::error(std::string("clone: ") + error.what());
            outcome.end = CloneEnd::writeFailed;
            outcome.reason = error.what();
        }
    }
    CloneProgress last = finish(outcome, *start);
    {
        std::lock_guard lock(outcomeMutex_);
        lastOutcome_ = outcome;
    }
    {
        std::lock_guard stopLock(stopMutex_);
        running_ = false;
        runningDestination_ = 0;
    }
    // Only now: an application that resumes or asks as soon as it hears of the end finds the
    // engine free.
    if (progress) {
        progress(last);
    }
}

CloneProgress CloneEngine::finish(const CloneOutcome& outcome, const Start& start) {
    const CloneMap& map = start.map;
    if (outcome.unreadableBytes > 0) {
        Log::warning("clone: " + std::to_string(outcome.unreadableBytes) +
                     " bytes of the source could not be read and were written as zeros");
    }
    if (outcome.bytesWritten > 0) {
        start.pair.destination->forgetCachedContents();
    }
    if (outcome.end == CloneEnd::finished) {
        if (start.keepsMap) {
            store_.remove(map.destinationIdentity);
        }
        start.pair.destination->rereadPartitions();
        Log::info("clone: " + start.description + " completed");
    } else if (outcome.end == CloneEnd::stopped && outcome.bytesWritten == 0 && start.keepsMap) {
        // Nothing was written: the destination's record stays as it was.
        if (start.previous.map) {
            store_.save(*start.previous.map);
        } else if (!start.previous.present) {
            store_.remove(map.destinationIdentity);
        }
        Log::info("clone: " + start.description + " stopped before writing anything");
    }
    CloneProgress last;
    last.status = outcome.end == CloneEnd::stopped ? DMProgressStatus::suspended : DMProgressStatus::finished;
    last.total = map.sourceSize;
    last.current = map.done.totalBytes();
    last.error = errorOf(outcome.end);
    last.unreadableBytes = outcome.unreadableBytes;
    last.reason = outcome.reason;
    return last;
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
    return identity && store_.find(*identity).present;
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

bool CloneEngine::isCloneRunningOnto(const std::string& strDestinDevice) const {
    struct stat info {};
    std::string path = blockDevicePath(strDestinDevice);
    if (::stat(path.c_str(), &info) != 0 || !S_ISBLK(info.st_mode)) {
        return false;
    }
    std::lock_guard lock(stopMutex_);
    return running_.load() && runningDestination_ == info.st_rdev;
}

void CloneEngine::stopCloneWithFlag(bool flag) {
    if (!flag) {
        return;
    }
    std::lock_guard lock(stopMutex_);
    if (running_.load()) {
        stop_ = true;
    } else {
        earlyStop_ = clock_.now();
    }
}

void CloneEngine::stopAndWait() {
    {
        std::lock_guard stopLock(stopMutex_);
        stop_ = true;
    }
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
