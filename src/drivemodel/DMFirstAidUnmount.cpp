#include "drivemodel/DMFirstAidUnmount.h"

#include <initializer_list>

#include "drivemodel/DMCheckDiskText.h"
#include "drivemodel/DMCompletionWait.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/Clock.h"

namespace harbormind {
namespace {

// Fills the "%@" places of a text, in order.
std::string filled(std::string text, std::initializer_list<std::string> values) {
    std::size_t from = 0;
    for (const std::string& value : values) {
        auto place = text.find("%@", from);
        if (place == std::string::npos) {
            break;
        }
        text.replace(place, 2, value);
        from = place + value.size();
    }
    return text;
}

// The manager's unmount and mount complete before they return; the bounded wait keeps a
// completion that would come later or never from deciding.
template <typename Operation>
CodeResult outcomeOf(const std::string& what, Operation&& operation) {
    return DMCompletionWait::run(what, seconds(DMLocalDriveManager::diskRequestLimitSeconds),
                                 std::forward<Operation>(operation));
}

}  // namespace

DMFirstAidUnmount::DMFirstAidUnmount(std::shared_ptr<DMLocalDriveObject> drive) : drive_(std::move(drive)) {}

std::optional<std::string> DMFirstAidUnmount::unmount() {
    mountPoint_ = drive_ ? drive_->mountPoint() : std::nullopt;
    if (!mountPoint_) {
        return std::nullopt;
    }
    const std::string name = drive_->identifier();
    auto manager = std::dynamic_pointer_cast<DMLocalDriveManager>(drive_->manager());
    if (!manager) {
        return filled(DMCheckDiskText::unmountFailedFormat, {name, *mountPoint_, "no drive manager"});
    }
    CodeResult outcome = outcomeOf("the unmount of " + name, [&](DMCompletion done) {
        manager->unmount(drive_, DMUnmountOption::plain, std::move(done));
    });
    if (outcome.code != 0) {
        std::string reason = outcome.message.empty() ? std::string(DMCheckDiskText::unmountRefused) : outcome.message;
        std::string text = filled(DMCheckDiskText::unmountFailedFormat, {name, *mountPoint_, reason});
        if (outcome.code == DMLocalDriveManager::busyCode) {
            text += DMCheckDiskText::closeWhatUsesIt;
        }
        return text;
    }
    unmounted_ = true;
    // The drive reports the change once the platform has seen it.
    for (int look = 0; look < unmountChecks && drive_->isMounted(); ++look) {
        Clock::current().sleepFor(seconds(1));
    }
    if (drive_->isMounted()) {
        return filled(DMCheckDiskText::unmountFailedFormat,
                                      {name, *mountPoint_, DMCheckDiskText::stillMounted});
    }
    return std::nullopt;
}

std::string DMFirstAidUnmount::unmountedNote() const {
    return filled(DMCheckDiskText::unmountedFormat, {drive_->identifier(), mountPoint_.value_or("")});
}

std::optional<std::string> DMFirstAidUnmount::mountAgain() {
    if (!unmounted_.exchange(false)) {
        return std::nullopt;
    }
    const std::string name = drive_->identifier();
    auto manager = std::dynamic_pointer_cast<DMLocalDriveManager>(drive_->manager());
    CodeResult outcome;
    if (manager) {
        outcome = outcomeOf("the mount of " + name, [&](DMCompletion done) { manager->mount(drive_, std::move(done)); });
    }
    if (outcome.code == 0) {
        return filled(DMCheckDiskText::mountedAgainFormat,
                                      {name, drive_->mountPoint().value_or(*mountPoint_)});
    }
    return filled(DMCheckDiskText::notMountedAgainFormat,
                                  {name, outcome.message.empty() ? DMCheckDiskText::mountRefused : outcome.message});
}

}  // namespace harbormind
