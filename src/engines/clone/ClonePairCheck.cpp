#include "engines/clone/ClonePairCheck.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engines/clone/CloneDevicePath.h"
#include "support/Clock.h"

namespace harbormind::clone {

ClonePairCheck::ClonePairCheck(const CloneSysfs& sysfs, BlockDevice::Caching caching)
    : sysfs_(sysfs), caching_(caching) {}

DMCloneErrorCode ClonePairCheck::check(const std::string& destinDevice, const std::string& sourceDevice,
                                       ClonePair& pair, std::string& reason) const {
    if (auto code = openSource(blockDevicePath(sourceDevice), pair, reason);
        code != DMCloneErrorCode::noError) {
        return code;
    }
    if (auto code = openDestination(blockDevicePath(destinDevice), *pair.source, pair, reason);
        code != DMCloneErrorCode::noError) {
        pair.source.reset();
        return code;
    }
    if (pair.source->sectorSize() != pair.destination->sectorSize()) {
        reason = "the sector sizes differ (" + std::to_string(pair.source->sectorSize()) + " and " +
                 std::to_string(pair.destination->sectorSize()) + " bytes)";
        pair = {};
        return DMCloneErrorCode::sectorSizeNoMatch;
    }
    if (pair.destination->size() < pair.source->size()) {
        reason = "the destination holds " + std::to_string(pair.destination->size()) + " bytes, the source " +
                 std::to_string(pair.source->size());
        pair = {};
        return DMCloneErrorCode::destinDeviceSzieNoEnough;
    }
    return DMCloneErrorCode::noError;
}

DMCloneErrorCode ClonePairCheck::openSource(const std::string& path, ClonePair& pair,
                                            std::string& reason) const {
    int error = 0;
    pair.source = BlockDevice::open(path, BlockDevice::Access::read, caching_, error);
    if (!pair.source || !pair.source->isBlockDevice()) {
        reason =
            "cannot open the source " + path + ": " + (error ? std::strerror(error) : "not a block device");
        pair.source.reset();
        return DMCloneErrorCode::openSourceDeivceFaild;
    }
    // A file system being written while it is copied would arrive inconsistent.
    if (auto mount = sysfs_.mountedWritableOn(pair.source->deviceNumber())) {
        reason = "the source's volume " + mount->volume + " is mounted read-write on " + mount->mountPoint +
                 ": unmount it first";
        pair.source.reset();
        return DMCloneErrorCode::openSourceDeivceFaild;
    }
    if (sysfs_.mountedOn(pair.source->deviceNumber())) {
        return DMCloneErrorCode::noError;  // read-only here, which claims the device: shared, not held
    }
    return claimSource(path, pair, reason);
}

// A volume mounted out of sight (in the mount namespace of another program, which keeps it
// mounted after it was unmounted here, its last writes not yet on the device) or a mapping on
// the source may be writing to it: the copy would not hold what the volume does. The source
// is held for the copy instead, so that nothing mounts it meanwhile. Another program's
// exclusive open for a moment (a check before an eject) is waited out.
DMCloneErrorCode ClonePairCheck::claimSource(const std::string& path, ClonePair& pair, std::string& reason) const {
    Clock& clock = Clock::current();
    const Clock::TimePoint deadline = clock.now() + seconds(1);
    int error = 0;
    for (;;) {
        if (auto claimed = BlockDevice::open(path, BlockDevice::Access::readExclusive, caching_, error)) {
            pair.source = std::move(claimed);
            return DMCloneErrorCode::noError;
        }
        if (error != EBUSY || clock.now() >= deadline) {
            break;
        }
        clock.sleepFor(seconds(0.1));
    }
    reason = "the source " + path + " is in use: " +
             (error == EBUSY ? std::string("a volume on it is mounted (perhaps for another program, out of sight "
                                           "here) or a mapping is made on it")
                             : std::string(std::strerror(error)));
    pair.source.reset();
    return DMCloneErrorCode::openSourceDeivceFaild;
}

DMCloneErrorCode ClonePairCheck::openDestination(const std::string& path, const BlockDevice& source,
                                                 ClonePair& pair, std::string& reason) const {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISBLK(info.st_mode)) {
        reason = "the destination " + path + " is no block device";
        return DMCloneErrorCode::openDestinDeviceFaild;
    }
    reason = refusal(info.st_rdev, source.deviceNumber());
    if (!reason.empty()) {
        return DMCloneErrorCode::openDestinDeviceFaild;
    }
    int error = 0;
    pair.destination = BlockDevice::open(path, BlockDevice::Access::writeExclusive, caching_, error);
    if (!pair.destination) {
        reason = "cannot open the destination " + path +
                 " for writing: " + (error == EBUSY ? "it is in use" : std::strerror(error));
        return DMCloneErrorCode::openDestinDeviceFaild;
    }
    if (pair.destination->readOnly()) {
        reason = "the destination " + path + " is read-only";
        pair.destination.reset();
        return DMCloneErrorCode::openDestinDeviceFaild;
    }
    return DMCloneErrorCode::noError;
}

std::string ClonePairCheck::refusal(dev_t destination, dev_t source) const {
    if (destination == source) {
        return "the destination is the source";
    }
    if (sysfs_.wholeDisk(destination) == source) {
        return "the destination is a partition of the source";
    }
    if (sysfs_.wholeDisk(source) == destination) {
        return "the source is a partition of the destination";
    }
    if (auto mount = sysfs_.mountedOn(destination)) {
        return "the destination's volume " + mount->volume + " is mounted on " + mount->mountPoint +
               ": unmount it first";
    }
    if (sysfs_.usedAsSwap(destination)) {
        return "the destination is in use as swap";
    }
    return sharedStorage(destination, source);
}

// Loop devices over one file (or over the source itself) and devices built on the source
// write into it although their device numbers differ.
std::string ClonePairCheck::sharedStorage(dev_t destination, dev_t source) const {
    for (const CloneStorageExtent& written : sysfs_.storageOf(destination)) {
        for (const CloneStorageExtent& read : sysfs_.storageOf(source)) {
            if (written.overlaps(read)) {
                return "the destination and the source are stored in the same place (" + written.what +
                       ", bytes " + std::to_string(std::max(written.begin, read.begin)) + " to " +
                       std::to_string(std::min(written.end, read.end)) + ")";
            }
        }
    }
    return {};
}

}  // namespace harbormind::clone
