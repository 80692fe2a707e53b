#include "app/clone/DMDeviceCloneProgressWndController.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/common/DMAlertPresenter.h"
#include "app/clone/DMDeviceCloneAttempt.h"
#include "app/clone/DMDeviceCloneProgressReceiver.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"
#include "drivemodel/DMCloneTexts.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "support/DMByteCountFormatter.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

QString sizeText(std::uint64_t bytes) {
    return QString::fromStdString(DMByteCountFormatter::string(static_cast<std::int64_t>(bytes)));
}

QString timeLeft(double seconds) {
    if (seconds < 60) {
        return DMDeviceCloneProgressWndController::tr("less than a minute left");
    }
    auto minutes = static_cast<long long>(std::ceil(seconds / 60));
    if (minutes < 60) {
        return DMDeviceCloneProgressWndController::tr("about %1 min left").arg(minutes);
    }
    return DMDeviceCloneProgressWndController::tr("about %1 h %2 min left").arg(minutes / 60).arg(minutes % 60);
}

}  // namespace

QString DMDeviceCloneProgressWndController::tr(const char* text) {
    return QCoreApplication::translate(DMTr::context, text);
}

DMDeviceCloneProgressWndController::DMDeviceCloneProgressWndController(
    std::shared_ptr<DMDeviceCloneWrapper> wrapper, std::shared_ptr<DMAlertPresenter> presenter,
    QWidget* parent)
    : QDialog(parent), mgr(std::move(wrapper)), presenter_(std::move(presenter)) {
    receiver_ = std::make_shared<DMDeviceCloneProgressReceiver>(this);
    setFixedWidth(460);
    lbTitle = new QLabel(DMTr::text(DMCloneTexts::cloning), this);
    QFont bold = lbTitle->font();
    bold.setBold(true);
    lbTitle->setFont(bold);
    progress = new QProgressBar(this);
    progress->setRange(0, barSteps);
    progress->setTextVisible(false);
    lbCloneSize = new QLabel(this);
    lbSpeed = new QLabel(this);
    lbNote = new QLabel(this);
    lbNote->setWordWrap(true);
    lbNote->hide();
    btnCancel = new QPushButton(DMTr::text(DMCloneTexts::cancel), this);
    btnFinish = new QPushButton(DMTr::text(DMCloneTexts::finish), this);
    btnFinish->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnFinish);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbTitle);
    layout->addWidget(progress);
    layout->addWidget(lbCloneSize);
    layout->addWidget(lbSpeed);
    layout->addWidget(lbNote);
    layout->addLayout(buttons);
    connect(btnCancel, &QPushButton::clicked, this, [this] { cancelClone(); });
    connect(btnFinish, &QPushButton::clicked, this, [this] { done(0); });
}

void DMDeviceCloneProgressWndController::setAttempt(std::shared_ptr<DMDeviceCloneAttempt> attempt,
                                                    std::string destinationName) {
    attempt_ = std::move(attempt);
    destinationName_ = std::move(destinationName);
}

void DMDeviceCloneProgressWndController::showStep(const QString& text) {
    lbCloneSize->setText(text);
}

void DMDeviceCloneProgressWndController::showProgress(const DMProgressMessage& message) {
    if (ended_) {
        return;  // a report that lagged behind the end
    }
    lastReport_ = Clock::current().now();
    if (message.status == DMProgressStatus::running) {
        showRunning(message);
    } else if (message.status == DMProgressStatus::finished) {
        showEnd(message);
    } else if (message.status == DMProgressStatus::suspended) {
        showSuspended();
    }
}

void DMDeviceCloneProgressWndController::showRunning(const DMProgressMessage& message) {
    progress->setValue(static_cast<int>(std::round(message.progress() * barSteps)));
    lbCloneSize->setText(tr("%1 of %2").arg(sizeText(message.current), sizeText(message.total)));
    Clock::TimePoint now = Clock::current().now();
    if (!rateOrigin_ || message.current < rateOrigin_->second) {
        rateOrigin_ = {now, message.current};
        return;
    }
    double elapsed = toSeconds(now - rateOrigin_->first);
    double rate = elapsed >= 1 ? static_cast<double>(message.current - rateOrigin_->second) / elapsed : 0;
    if (rate <= 0) {
        return;
    }
    lbSpeed->setText(tr("%1/s, %2")
                         .arg(sizeText(static_cast<std::uint64_t>(rate)),
                              timeLeft(static_cast<double>(message.total - std::min(message.total, message.current)) /
                                       rate)));
}

void DMDeviceCloneProgressWndController::showEndDetails(std::uint64_t unreadableBytes, const std::string& reason) {
    unreadableBytes_ = unreadableBytes;
    endReason_ = reason;
}

void DMDeviceCloneProgressWndController::showButtonsForEnd() {
    ended_ = true;
    btnCancel->hide();
    btnFinish->show();
    btnFinish->setDefault(true);
    lbSpeed->hide();
}

void DMDeviceCloneProgressWndController::showEnd(const DMProgressMessage& message) {
    showButtonsForEnd();
    lbCloneSize->setText(tr("%1 of %2").arg(sizeText(message.current), sizeText(message.total)));
    if (message.error == DMProgressError::noError) {
        progress->setValue(barSteps);
        lbTitle->setText(DMTr::text(DMCloneTexts::completed));
        if (unreadableBytes_ > 0) {
            lbNote->setText(tr("%1 of the source (%2 bytes) could not be read; those parts were written as zeros.")
                                .arg(sizeText(unreadableBytes_))
                                .arg(unreadableBytes_));
            lbNote->show();
        }
        return;
    }
    if (message.error == DMProgressError::eErrorSourceStroageDisapper) {
        presenter_->present({DMTr::text(DMCloneTexts::sourceMissing), "", {DMTr::text(DMCloneTexts::ok)}}, this, nullptr);
    } else if (message.error == DMProgressError::eErrorDestinStroageDisapper) {
        presenter_->present({DMTr::text(DMCloneTexts::destinationMissing), "", {DMTr::text(DMCloneTexts::ok)}}, this, nullptr);
    }
    // Not "completed": the copy ended early and the destination is not a whole copy.
    lbTitle->setText(QString::fromStdString(
        DMTextFormat::withInteger(DMTr::text(DMCloneTexts::stoppedWithError), static_cast<long long>(message.error))));
    QString note = endReason_.empty() ? QString() : QString::fromStdString(endReason_) + "\n";
    lbNote->setText(note + tr("What was copied is kept: choose Resume Clone in the destination's menu to go on "
                              "once the cause is fixed."));
    lbNote->show();
}

void DMDeviceCloneProgressWndController::showSuspended() {
    showButtonsForEnd();
    lbTitle->setText(tr("The clone was stopped."));
    lbNote->setText(tr("What was copied is kept: choose Resume Clone in the destination's menu to go on."));
    lbNote->show();
}

void DMDeviceCloneProgressWndController::reject() {
    if (ended_) {
        QDialog::reject();
    } else {
        cancelClone();
    }
}

void DMDeviceCloneProgressWndController::watchDaemon(std::string destinationIdentifier) {
    watchedDestination_ = std::move(destinationIdentifier);
    lastReport_ = Clock::current().now();
    QPointer<DMDeviceCloneProgressWndController> self(this);
    Dispatch::main().asyncAfter(seconds(silenceSeconds), [self] {
        if (self) {
            self->checkSilence();
        }
    });
}

void DMDeviceCloneProgressWndController::checkSilence() {
    if (ended_) {
        return;
    }
    QPointer<DMDeviceCloneProgressWndController> self(this);
    Clock::Duration quiet = Clock::current().now() - lastReport_;
    if (quiet < seconds(silenceSeconds) || !mgr) {
        Dispatch::main().asyncAfter(seconds(silenceSeconds) - quiet, [self] {
            if (self) {
                self->checkSilence();
            }
        });
        return;
    }
    auto wrapper = mgr;
    std::string destination = watchedDestination_;
    Dispatch::global()->async([self, wrapper, destination] {
        bool running = wrapper->isCloneRunning(destination);
        Dispatch::main().async([self, running] {
            if (!self || self->ended_) {
                return;
            }
            if (running) {
                self->lastReport_ = Clock::current().now();  // a slow device: ask again later
                self->watchDaemon(self->watchedDestination_);
                return;
            }
            self->showButtonsForEnd();
            self->lbTitle->setText(tr("The clone was interrupted."));
            self->lbNote->setText(tr("The helper daemon stopped copying without a word (it may have ended or been "
                                     "restarted). What was copied is kept: choose Resume Clone in the "
                                     "destination's menu to go on."));
            self->lbNote->show();
        });
    });
}

// Asks before stopping: a clone that has not started is simply not started; one that runs
// keeps what it copied and can be resumed.
void DMDeviceCloneProgressWndController::cancelClone() {
    bool started = !attempt_ || attempt_->isRequested();
    QString name = QString::fromStdString(destinationName_);
    DMAlert question{tr("Stop the clone?").toStdString(),
                     (started ? tr("“%1” keeps what has been copied so far. You can resume the clone later with "
                                   "Resume Clone in the destination's menu.")
                              : tr("Nothing has been written to “%1” yet."))
                         .arg(name)
                         .toStdString(),
                     {tr("Continue Cloning").toStdString(), tr("Stop Cloning").toStdString()},
                     0};
    QPointer<DMDeviceCloneProgressWndController> self(this);
    presenter_->present(question, this, [self](int button) {
        if (self && button == 1) {
            self->stopClone();
        }
    });
}

void DMDeviceCloneProgressWndController::stopClone() {
    bool requested = !attempt_ || attempt_->cancel();
    if (requested && mgr) {
        auto wrapper = mgr;
        Dispatch::global()->async([wrapper] { wrapper->stopCloneWithFlag(true); });
    }
    QPointer<DMDeviceCloneProgressWndController> self(this);
    Dispatch::main().async([self] {
        if (self) {
            self->done(0);
        }
    });
}

}  // namespace harbormind
