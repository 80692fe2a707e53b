#include "engines/checkdisk/CheckDiskEngine.h"

#include "engines/checkdisk/CheckDiskRun.h"
#include "engines/checkdisk/CheckDiskTextFormat.h"
#include "engines/checkdisk/CheckDiskTexts.h"
#include "engines/checkdisk/CheckerProcess.h"
#include "engines/checkdisk/CheckerTable.h"
#include "engines/checkdisk/DeviceIdentity.h"
#include "engines/checkdisk/VolumeProbe.h"

namespace harbormind {
namespace {

CheckDiskVerdict stopBeforeChecking(const CheckDiskSink& sink, const std::string& reason) {
    sink(DMCheckStatus::checkStop, reason);
    return CheckDiskVerdict::stopped;
}

}  // namespace

CheckDiskEngine::CheckDiskEngine(CheckerPrograms programs) : programs_(std::move(programs)) {}

CheckDiskEngine::~CheckDiskEngine() = default;

CheckDiskVerdict CheckDiskEngine::run(const CheckDiskRequest& request, const CheckDiskSink& sink) {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = false;
    }
    const std::string& device = request.devicePath;
    auto identity = DeviceIdentity::of(device);
    std::optional<std::string> type = identity ? VolumeProbe::fileSystemType(device) : std::nullopt;
    sink(DMCheckStatus::checkStart,
         CheckDiskTextFormat::format(CheckDiskTexts::starting, {device, type.value_or("?")}));
    if (!identity || !identity->isPresent()) {
        return stopBeforeChecking(sink, CheckDiskTextFormat::format(CheckDiskTexts::deviceMissing, {device}));
    }
    if (!type) {
        return stopBeforeChecking(sink, CheckDiskTextFormat::format(CheckDiskTexts::noFileSystem, {device}));
    }
    auto family = CheckerTable::familyOf(*type);
    if (!family) {
        return stopBeforeChecking(sink,
                                  CheckDiskTextFormat::format(CheckDiskTexts::noChecker, {*type, device}));
    }
    // A mounted file system changes under a checker that reads the device, and its counters on
    // disk lag behind: an offline checker would report damage that is not there.
    if (auto point = identity->mountPoint()) {
        return stopBeforeChecking(
            sink, request.mode == CheckDiskMode::repair
                      ? CheckDiskTextFormat::format(CheckDiskTexts::mounted, {device})
                      : CheckDiskTextFormat::format(CheckDiskTexts::mountedCheck, {device, *point}));
    }
    auto program = programs_.program(*family);
    if (!program) {
        return stopBeforeChecking(sink, CheckDiskTextFormat::format(CheckDiskTexts::cannotStart,
                                                                    {CheckerTable::programName(*family)}));
    }
    return CheckDiskRun(*this, request, sink, *family, *program, *identity).run();
}

void CheckDiskEngine::stop() {
    std::lock_guard lock(mutex_);
    stopRequested_ = true;
    if (running_) {
        running_->kill();
    }
}

void CheckDiskEngine::setRunning(CheckerProcess* process) {
    std::lock_guard lock(mutex_);
    running_ = process;
    if (process && stopRequested_) {
        process->kill();
    }
}

bool CheckDiskEngine::stopRequested() const {
    std::lock_guard lock(mutex_);
    return stopRequested_;
}

}  // namespace harbormind
