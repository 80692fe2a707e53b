#include "engines/checkdisk/CheckDiskRun.h"

#include "engines/checkdisk/CheckDiskEngine.h"
#include "engines/checkdisk/CheckDiskTextFormat.h"
#include "engines/checkdisk/CheckDiskTexts.h"
#include "engines/checkdisk/CheckerProcess.h"
#include "engines/checkdisk/NtfsDirtyFlag.h"
#include "support/Log.h"

namespace harbormind {
namespace {

std::string commandText(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) {
        text += (text.empty() ? "" : " ") + argument;
    }
    return text;
}

const char* wordsFor(CheckDiskVerdict verdict) {
    switch (verdict) {
        case CheckDiskVerdict::clean: return CheckDiskTexts::noErrorsFound;
        case CheckDiskVerdict::repaired: return CheckDiskTexts::errorsRepaired;
        case CheckDiskVerdict::errorsRemain: return CheckDiskTexts::errorsRemain;
        case CheckDiskVerdict::notCompleted:
        case CheckDiskVerdict::stopped: return CheckDiskTexts::notCompleted;
    }
    return CheckDiskTexts::notCompleted;
}

// A checker run with "no" to every question says so after each fault it leaves ("Fix? no").
bool answeredNo(const std::string& line) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.size() >= 4 && text.compare(text.size() - 4, 4, "? no") == 0;
}

CheckDiskVerdict verdictOfCheck(CheckerOutcome outcome) {
    switch (outcome) {
        case CheckerOutcome::clean: return CheckDiskVerdict::clean;
        case CheckerOutcome::failed: return CheckDiskVerdict::notCompleted;
        case CheckerOutcome::fixed:
        case CheckerOutcome::errors: return CheckDiskVerdict::errorsRemain;
    }
    return CheckDiskVerdict::notCompleted;
}

}  // namespace

CheckDiskRun::CheckDiskRun(CheckDiskEngine& engine, const CheckDiskRequest& request,
                           const CheckDiskSink& sink, CheckerFamily family, std::string program,
                           DeviceIdentity identity)
    : engine_(engine),
      request_(request),
      sink_(sink),
      family_(family),
      program_(std::move(program)),
      identity_(std::move(identity)) {}

CheckDiskVerdict CheckDiskRun::run() {
    if (request_.mode == CheckDiskMode::repair) {
        return repair();
    }
    auto outcome = checkOnce();
    return outcome ? end(verdictOfCheck(*outcome)) : interrupted();
}

CheckDiskVerdict CheckDiskRun::repair() {
    if (family_ == CheckerFamily::btrfs) {
        line(CheckDiskTexts::checkOnly);
        auto outcome = checkOnce();
        return outcome ? end(verdictOfCheck(*outcome)) : interrupted();
    }
    if (CheckerTable::checksBeforeRepair(family_)) {
        auto first = checkOnce();
        if (!first) {
            return interrupted();
        }
        if (*first != CheckerOutcome::errors) {
            return end(verdictOfCheck(*first));
        }
    }
    bool wasDirty = family_ == CheckerFamily::ntfs && ntfsIsDirty();
    auto result =
        runChecker(CheckerTable::repairArguments(family_, request_.devicePath), CheckDiskMode::repair);
    if (result && CheckerTable::asksForFallback(family_, result->exitStatus)) {
        line(CheckDiskTexts::answeringYes);
        std::vector<std::string> earlier = std::move(result->repairs);
        result =
            runChecker(CheckerTable::fallbackArguments(family_, request_.devicePath), CheckDiskMode::repair);
        if (result) {
            result->repairs.insert(result->repairs.begin(), earlier.begin(), earlier.end());
        }
    }
    if (!result) {
        return interrupted();
    }
    // ntfsfix exits 0 both when it found nothing and when it mended the volume: its own
    // words tell which.
    if (result->outcome == CheckerOutcome::clean && (wasDirty || !result->repairs.empty())) {
        result->outcome = CheckerOutcome::fixed;
    }
    listRepairs(result->repairs);
    if (result->outcome == CheckerOutcome::clean || result->outcome == CheckerOutcome::failed) {
        return end(verdictOfCheck(result->outcome));
    }
    line(CheckDiskTexts::checkingAgain);
    auto after = checkOnce();
    if (!after) {
        return interrupted();
    }
    return end(*after == CheckerOutcome::clean ? CheckDiskVerdict::repaired : verdictOfCheck(*after));
}

std::optional<CheckerOutcome> CheckDiskRun::checkOnce() {
    auto result =
        runChecker(CheckerTable::checkArguments(family_, request_.devicePath), CheckDiskMode::check);
    if (!result) {
        return std::nullopt;
    }
    if (family_ == CheckerFamily::ntfs && result->outcome != CheckerOutcome::failed && ntfsIsDirty()) {
        line(CheckDiskTexts::ntfsDirty);
        return CheckerOutcome::errors;
    }
    return result->outcome;
}

std::optional<CheckDiskRun::Result> CheckDiskRun::runChecker(const std::vector<std::string>& arguments,
                                                             CheckDiskMode mode) {
    std::vector<std::string> command{program_};
    command.insert(command.end(), arguments.begin(), arguments.end());
    CheckerProcess process(command);
    engine_.setRunning(&process);
    bool declinedFix = false;
    std::vector<std::string> repairs;
    int exitStatus = engine_.stopRequested()
                         ? CheckerProcess::killed
                         : process.run([this, mode, &declinedFix, &repairs](const std::string& text) {
                               declinedFix = declinedFix || answeredNo(text);
                               if (mode == CheckDiskMode::repair && CheckerTable::reportsRepair(family_, text)) {
                                   repairs.push_back(text);
                               }
                               sink_(DMCheckStatus::checkRuning, text);
                           });
    engine_.setRunning(nullptr);
    Log::info("First Aid: " + commandText(command) + " ended with exit status " + std::to_string(exitStatus));
    if (engine_.stopRequested() || !identity_.isPresent()) {
        return std::nullopt;
    }
    if (exitStatus == CheckerProcess::notStarted) {
        line(CheckDiskTextFormat::format(CheckDiskTexts::cannotStart, {program_}));
        return Result{CheckerOutcome::failed, exitStatus, {}};
    }
    CheckerOutcome outcome = CheckerTable::outcome(family_, mode, exitStatus);
    // e2fsck -n exits 0 when the only faults it declined to fix are summary counts; the volume
    // still holds them, and a repair would change it.
    if (family_ == CheckerFamily::ext && mode == CheckDiskMode::check && declinedFix &&
        outcome == CheckerOutcome::clean) {
        outcome = CheckerOutcome::errors;
    }
    return Result{outcome, exitStatus, std::move(repairs)};
}

bool CheckDiskRun::ntfsIsDirty() const {
    return NtfsDirtyFlag::read(request_.devicePath).value_or(false);
}

void CheckDiskRun::line(const std::string& text) {
    sink_(DMCheckStatus::checkRuning, text + "\n");
}

void CheckDiskRun::listRepairs(const std::vector<std::string>& repairs) {
    if (repairs.empty()) {
        return;
    }
    line(CheckDiskTexts::repairsMade);
    for (std::string repair : repairs) {
        while (!repair.empty() && (repair.back() == '\n' || repair.back() == ' ')) {
            repair.pop_back();
        }
        line("  " + repair);
    }
}

CheckDiskVerdict CheckDiskRun::end(CheckDiskVerdict verdict) {
    const char* words = wordsFor(verdict);
    Log::info(std::string("First Aid on ") + request_.devicePath + ": " + words);
    line(words);
    sink_(DMCheckStatus::checkEnd, words);
    return verdict;
}

CheckDiskVerdict CheckDiskRun::interrupted() {
    if (engine_.stopRequested()) {
        sink_(DMCheckStatus::checkStop, CheckDiskTexts::stopped);
    } else {
        sink_(DMCheckStatus::checkStop,
              CheckDiskTextFormat::format(CheckDiskTexts::deviceGone, {request_.devicePath}));
    }
    return CheckDiskVerdict::stopped;
}

}  // namespace harbormind
