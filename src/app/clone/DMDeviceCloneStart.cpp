#include "app/clone/DMDeviceCloneStart.h"

#include <QCoreApplication>

#include "app/common/DMAlertPresenter.h"
#include "app/clone/DMDeviceCloneAttempt.h"
#include "app/drives/DMDriveOperations.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "drivemodel/DMCloneTexts.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "support/Clock.h"
#include "support/Dispatch.h"
#include "xpc/DMCloneErrorCode.h"

namespace harbormind {
namespace {

const char* pairCheckText(std::int64_t code) {
    switch (cloneErrorCodeFromRaw(code).value_or(DMCloneErrorCode::noError)) {
        case DMCloneErrorCode::openSourceDeivceFaild: return DMTr::text(DMCloneTexts::openSourceFailed);
        case DMCloneErrorCode::openDestinDeviceFaild: return DMTr::text(DMCloneTexts::openDestinationFailed);
        case DMCloneErrorCode::sectorSizeNoMatch: return DMTr::text(DMCloneTexts::sectorSizeMismatch);
        case DMCloneErrorCode::destinDeviceSzieNoEnough: return DMTr::text(DMCloneTexts::notEnoughSpace);
        case DMCloneErrorCode::noError: break;
    }
    return nullptr;
}

}  // namespace

QString DMDeviceCloneStart::tr(const char* text) {
    return QCoreApplication::translate(DMTr::context, text);
}

DMDeviceCloneStart::DMDeviceCloneStart(Request request, Services services,
                                       std::shared_ptr<DMDeviceCloneAttempt> attempt,
                                       DMDeviceCloneProgressWndController* sheet, QWidget* window)
    : request_(std::move(request)),
      services_(std::move(services)),
      attempt_(std::move(attempt)),
      sheet_(sheet),
      window_(window) {}

template <typename Result>
void DMDeviceCloneStart::inBackground(std::function<Result()> work, std::function<void(Result)> then) {
    auto self = shared_from_this();
    Dispatch::global()->async([self, work = std::move(work), then = std::move(then)] {
        if (self->attempt_->isCancelled()) {
            return;
        }
        Result result = work();
        Dispatch::main().async([self, then, result] {
            if (!self->attempt_->isCancelled()) {
                then(result);
            }
        });
    });
}

void DMDeviceCloneStart::run() {
    if (request_.unmountSource) {
        unmountSource();
    } else {
        unmountDestination(false);
    }
}

void DMDeviceCloneStart::step(const QString& text) {
    if (sheet_) {
        sheet_->showStep(text);
    }
}

void DMDeviceCloneStart::unmountSource() {
    step(tr("Unmounting “%1”…").arg(QString::fromStdString(request_.source.name)));
    auto operations = services_.operations;
    auto source = request_.source.drive;
    auto self = shared_from_this();
    inBackground<DMOperationResult>([operations, source] { return operations->unmount(source, DMUnmountOption::plain); },
                                    [self](DMOperationResult result) {
                                        if (!result.succeeded()) {
                                            self->fail(DMTextFormat::withText(DMTr::text(DMTexts::unmountFailedTitleFormat),
                                                                              self->request_.source.name),
                                                       result.message);
                                            return;
                                        }
                                        self->unmountDestination(false);
                                    });
}

// The destination's volumes go first: the daemon refuses a destination that is mounted, and
// the desktop mounts an external disk as soon as it appears.
void DMDeviceCloneStart::unmountDestination(bool force) {
    step(tr("Unmounting “%1”…").arg(QString::fromStdString(request_.destination.name)));
    auto operations = services_.operations;
    auto destination = request_.destination.drive;
    auto attempt = attempt_;
    auto self = shared_from_this();
    inBackground<DMOperationResult>(
        [operations, destination, attempt, force] {
            if (!operations->isMounted(destination)) {
                return DMOperationResult{0, {}};
            }
            DMOperationResult result =
                operations->unmount(destination, force ? DMUnmountOption::force : DMUnmountOption::plain);
            for (int poll = 0; result.succeeded() && poll < unmountPolls && operations->isMounted(destination) &&
                               !attempt->isCancelled();
                 ++poll) {
                Clock::current().sleepFor(seconds(1));
            }
            return result;
        },
        [self, force](DMOperationResult result) {
            if (result.code == DMLocalDriveManager::busyCode && !force) {
                self->offerForcedUnmount(result.message);
            } else if (!result.succeeded()) {
                self->fail(DMTextFormat::withText(DMTr::text(DMTexts::unmountFailedTitleFormat), self->request_.destination.name),
                           result.message);
            } else {
                self->checkPair();
            }
        });
}

void DMDeviceCloneStart::offerForcedUnmount(const std::string& reason) {
    // Cancel is the default and the Escape answer: forcing is only ever the user's click.
    DMAlert alert{DMTextFormat::withText(DMTr::text(DMTexts::volumeInUseTitleFormat), request_.destination.name),
                  DMTextFormat::withText(DMTr::text(DMTexts::volumeInUseTextFormat), reason),
                  {DMTr::text(DMTexts::cancelButton), DMTr::text(DMTexts::forceUnmountButton)},
                  0};
    auto self = shared_from_this();
    services_.presenter->present(alert, sheet_ ? static_cast<QWidget*>(sheet_.data()) : window_.data(),
                                 [self](int button) {
                                     if (button == 1 && !self->attempt_->isCancelled()) {
                                         self->unmountDestination(true);
                                         return;
                                     }
                                     self->attempt_->cancel();
                                     if (self->sheet_) {
                                         self->sheet_->done(0);
                                     }
                                 });
}

void DMDeviceCloneStart::checkPair() {
    step(tr("Checking the two devices…"));
    auto wrapper = services_.wrapper;
    auto destination = request_.destination.identifier;
    auto source = request_.source.identifier;
    auto self = shared_from_this();
    inBackground<XPCCodeAnswer>([wrapper, destination, source] { return wrapper->checkPair(destination, source); },
                                [self](XPCCodeAnswer answer) {
                                    if (answer.code != 0) {
                                        self->refused(answer, tr("The helper daemon did not answer the check of "
                                                                 "the two devices."));
                                        return;
                                    }
                                    self->request();
                                });
}

void DMDeviceCloneStart::request() {
    if (!attempt_->beginRequest()) {
        return;
    }
    step(tr("Starting the copy…"));
    auto wrapper = services_.wrapper;
    Request request = request_;
    auto self = shared_from_this();
    // Not through inBackground: once requested, the answer matters even after a cancel.
    Dispatch::global()->async([self, wrapper, request] {
        XPCCodeAnswer answer =
            wrapper->startClone(request.destination.identifier, request.source.identifier, request.isCover);
        Dispatch::main().async([self, answer] { self->started(answer); });
    });
}

void DMDeviceCloneStart::started(const XPCCodeAnswer& answer) {
    if (attempt_->isCancelled()) {
        // The user cancelled while the request was out: the copy must not go on.
        if (answer.code == 0) {
            auto wrapper = services_.wrapper;
            Dispatch::global()->async([wrapper] { wrapper->stopCloneWithFlag(true); });
        }
        return;
    }
    if (answer.code != 0) {
        refused(answer, tr("The helper daemon did not answer the request to clone."));
        return;
    }
    if (sheet_) {
        sheet_->watchDaemon(request_.destination.identifier);
    }
    if (!answer.message.empty()) {
        services_.presenter->present({tr("The clone starts over from the beginning").toStdString(), answer.message,
                                      {DMTr::text(DMCloneTexts::ok)}},
                                     sheet_ ? static_cast<QWidget*>(sheet_.data()) : window_.data(), nullptr);
    }
}

// A pair check code shows the check's text; any other refusal says the clone could not start.
void DMDeviceCloneStart::refused(const XPCCodeAnswer& answer, const QString& whenUnanswered) {
    if (const char* text = pairCheckText(answer.code)) {
        fail(text, answer.message);
    } else if (answer.message.empty()) {
        fail(tr("The clone could not be started").toStdString(), whenUnanswered.toStdString());
    } else {
        fail(tr("The clone could not be started").toStdString(), answer.message);
    }
}

void DMDeviceCloneStart::fail(const std::string& title, const std::string& text) {
    attempt_->cancel();
    if (sheet_) {
        sheet_->hide();
        sheet_->deleteLater();
    }
    services_.presenter->present({title, text, {DMTr::text(DMCloneTexts::ok)}}, window_.data(), nullptr);
}

}  // namespace harbormind
