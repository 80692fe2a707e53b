#include "app/disktools/DMDiskImageFlow.h"

#include <QFile>
#include <QFileDialog>

#include "app/disktools/DMFlowWork.h"
#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"
#include "app/disktools/DMDiskToolsTexts.h"
#include "disktools/DMDiskToolsWrapper.h"
#include "disktools/DMEraseChecks.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "drivemodel/DMLocalDriveManager.h"

namespace harbormind {
namespace {

namespace T = DMDiskToolsTexts;
using Mode = DMDiskImageWindowController::Mode;

// This flow's work off the main queue.
DMFlowWork& background() {
    static DMFlowWork work;
    return work;
}

std::string askNew(QWidget* parent, const std::string& current) {
    return QFileDialog::getSaveFileName(parent, DMTr::qtext("Create Disk Image"), QString::fromStdString(current),
                                        DMTr::qtext("Disk images (*.img *.img.zst)"))
        .toStdString();
}

std::string askExisting(QWidget* parent, const std::string& current) {
    return QFileDialog::getOpenFileName(parent, DMTr::qtext("Restore Disk Image"), QString::fromStdString(current),
                                        DMTr::qtext("Disk images (*.img *.iso *.img.zst *.img.xz);;All files (*)"))
        .toStdString();
}

struct Reading {
    std::optional<DMEraseTarget> target;
    std::string refusal;
};

// Unmounts the target's volumes; the reason when one stays.
std::string unmountFor(const DMDiskImageFlow::Drive& drive, const DMEraseTarget& target) {
    auto manager = std::dynamic_pointer_cast<DMLocalDriveManager>(drive->manager());
    return manager ? DMEraseChecks::unmountVolumes(*manager, target) : std::string();
}

}  // namespace

DMDiskImageFlow::DMDiskImageFlow(std::shared_ptr<DMAlertPresenter> presenter, ChooseFile chooseNew,
                                 ChooseFile chooseExisting)
    : presenter_(std::move(presenter)),
      chooseNew_(chooseNew ? std::move(chooseNew) : ChooseFile(askNew)),
      chooseExisting_(chooseExisting ? std::move(chooseExisting) : ChooseFile(askExisting)) {}

int DMDiskImageFlow::pending() {
    return background().pending();
}

void DMDiskImageFlow::alert(QWidget* window, const std::string& title, const std::string& reason) {
    presenter_->present({title, "", {DMTr::text(T::ok)}, std::nullopt, reason}, window, [](int) {});
}

void DMDiskImageFlow::createImage(const Drive& drive, QWidget* window) {
    open(Mode::create, drive, window);
}

void DMDiskImageFlow::restoreImage(const Drive& drive, QWidget* window) {
    open(Mode::restore, drive, window);
}

void DMDiskImageFlow::open(Mode mode, const Drive& drive, QWidget* window) {
    auto self = shared_from_this();
    QPointer<QWidget> parent(window);
    background().run<Reading>(
        [drive] {
            Reading reading{DMEraseTarget::read(drive), {}};
            if (reading.target) {
                reading.refusal = DMEraseChecks::refusal(*reading.target);
            }
            return reading;
        },
        [self, mode, drive, parent](Reading reading) {
            if (!reading.target) {
                return;
            }
            if (!reading.refusal.empty()) {
                self->alert(parent.data(), mode == Mode::create ? DMTr::text(T::imageFailedTitle) : DMTr::text(T::restoreFailedTitle),
                            reading.refusal);
                return;
            }
            if (self->sheet_ && !self->sheet_->isWorking()) {
                self->sheet_->close();
                self->sheet_->deleteLater();
            } else if (self->sheet_) {
                self->sheet_->raise();
                return;
            }
            std::weak_ptr<DMDiskImageFlow> weak = self;
            self->sheet_ = new DMDiskImageWindowController(
                mode, *reading.target,
                [weak, drive, mode](const DMDiskImageWindowController::Choice& choice) {
                    if (auto flow = weak.lock()) {
                        mode == Mode::create ? flow->startCreate(drive, choice) : flow->checkRestore(drive, choice);
                    }
                },
                mode == Mode::create ? self->chooseNew_ : self->chooseExisting_, parent.data());
            self->sheet_->setAttribute(Qt::WA_DeleteOnClose);
            self->sheet_->setWindowModality(Qt::WindowModal);
            self->sheet_->show();
        });
}

void DMDiskImageFlow::startCreate(const Drive& drive, const DMDiskImageWindowController::Choice& choice) {
    if (!sheet_) {
        return;
    }
    // The user's own file, private to them: the daemon only writes into it.
    auto file = std::make_shared<QFile>(QString::fromStdString(choice.path));
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        alert(sheet_.data(), DMTr::text(T::imageFailedTitle), file->errorString().toStdString());
        return;
    }
    file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    sheet_->working({});
    DMEraseTarget target = sheet_->target();
    auto self = shared_from_this();
    background().run<XPCCodeAnswer>(
        [drive, target, file, compress = choice.compress] {
            if (std::string why = unmountFor(drive, target); !why.empty()) {
                return XPCCodeAnswer{16, why};
            }
            return DMDiskToolsWrapper().createImage(target.identifier, file->handle(), compress);
        },
        [self, file](XPCCodeAnswer answer) {
            if (answer.code != 0) {
                file->remove();
            }
            file->close();
            self->started(answer.code, answer.message, DMTr::text(T::imageFailedTitle));
        });
}

void DMDiskImageFlow::checkRestore(const Drive& drive, const DMDiskImageWindowController::Choice& choice) {
    if (!sheet_) {
        return;
    }
    auto file = std::make_shared<QFile>(QString::fromStdString(choice.path));
    if (!file->open(QIODevice::ReadOnly)) {
        alert(sheet_.data(), DMTr::text(T::restoreFailedTitle), file->errorString().toStdString());
        return;
    }
    const DMEraseTarget target = sheet_->target();
    auto self = shared_from_this();
    background().run<XPCCodeAnswer>(
        [target, file] { return DMDiskToolsWrapper().checkImageRestore(target.identifier, file->handle()); },
        [self, drive, target, file](XPCCodeAnswer answer) {
            // Mounted volumes are unmounted after the yes; anything else ends here with its reason.
            if (answer.code != 0 && !(answer.code == 16 && !target.mounted().empty())) {
                self->alert(self->sheet_.data(), DMTr::text(T::restoreFailedTitle), answer.message);
                return;
            }
            self->confirmRestore(drive, file);
        });
}

void DMDiskImageFlow::confirmRestore(const Drive& drive, std::shared_ptr<QFile> image) {
    if (!sheet_) {
        return;
    }
    const DMEraseTarget target = sheet_->target();
    DMAlert question{DMTextFormat::withText(DMTr::text(T::confirmRestoreTitle), target.title()),
                     DMTextFormat::withText(DMTr::text(T::lossText), target.contents()),
                     {DMTr::text(T::cancel), DMTr::text(T::restore)},
                     0};
    std::weak_ptr<DMDiskImageFlow> weak = shared_from_this();
    presenter_->present(question, sheet_.data(), [weak, drive, target, image](int button) {
        auto self = weak.lock();
        if (!self || button != 1 || !self->sheet_) {
            return;
        }
        self->sheet_->working({});
        background().run<XPCCodeAnswer>(
            [drive, target, image] {
                if (std::string why = unmountFor(drive, target); !why.empty()) {
                    return XPCCodeAnswer{16, why};
                }
                return DMDiskToolsWrapper().restoreImage(target.identifier, image->handle());
            },
            [self, image](XPCCodeAnswer answer) {
                image->close();
                self->started(answer.code, answer.message, DMTr::text(T::restoreFailedTitle));
            });
    });
}

void DMDiskImageFlow::started(std::int64_t code, const std::string& message, const std::string& failedTitle) {
    if (!sheet_) {
        return;
    }
    if (code != 0) {
        DMDiskImageStatus failed = DMDiskImageStatus::unknown(message);
        sheet_->finished(failed);
        alert(sheet_.data(), failedTitle, message);
        return;
    }
    std::weak_ptr<DMDiskImageFlow> weak = shared_from_this();
    sheet_->working([weak] {
        background().run<XPCCodeAnswer>([] { return DMDiskToolsWrapper().stopImage(); }, [weak](XPCCodeAnswer) {});
    });
    poll();
}

// Asks how the copy stands every half second, until it ends or the sheet is gone.
void DMDiskImageFlow::poll() {
    std::weak_ptr<DMDiskImageFlow> weak = shared_from_this();
    background().run<DMDiskImageStatus>([] { return DMDiskToolsWrapper().imageStatus(); },
                                    [weak](DMDiskImageStatus status) {
                                        auto self = weak.lock();
                                        if (!self || !self->sheet_) {
                                            return;
                                        }
                                        if (status.ended()) {
                                            self->sheet_->finished(status);
                                            return;
                                        }
                                        self->sheet_->showProgress(status);
                                        background().after(seconds(pollSeconds), [weak] {
                                            if (auto flow = weak.lock()) {
                                                flow->poll();
                                            }
                                        });
                                    });
}

}  // namespace harbormind
