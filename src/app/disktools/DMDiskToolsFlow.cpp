#include "app/disktools/DMDiskToolsFlow.h"


#include "app/disktools/DMFlowWork.h"
#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"
#include "app/disktools/DMDiskToolsTexts.h"
#include "disktools/DMDiskToolsWrapper.h"
#include "disktools/DMEraseChecks.h"
#include "disktools/DMWholeDisk.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "drivemodel/DMLocalDriveManager.h"

namespace harbormind {
namespace {

namespace T = DMDiskToolsTexts;

// This flow's work off the main queue.
DMFlowWork& background() {
    static DMFlowWork work;
    return work;
}

// What the erase of a target needs first: the target as it is now and why it may not be erased.
struct Reading {
    std::optional<DMEraseTarget> target;
    std::string refusal;
};

Reading readTarget(const DMDiskToolsFlow::Drive& drive) {
    Reading reading;
    reading.target = DMEraseTarget::read(drive);
    if (reading.target) {
        reading.refusal = DMEraseChecks::refusal(*reading.target);
    }
    return reading;
}

// Unmounts the target's volumes through the drive's manager; the reason when one stays.
std::string unmountFor(const DMDiskToolsFlow::Drive& drive, const DMEraseTarget& target) {
    auto manager = std::dynamic_pointer_cast<DMLocalDriveManager>(drive->manager());
    return manager ? DMEraseChecks::unmountVolumes(*manager, target) : std::string();
}

}  // namespace

DMDiskToolsFlow::DMDiskToolsFlow(std::shared_ptr<DMAlertPresenter> presenter) : presenter_(std::move(presenter)) {}

int DMDiskToolsFlow::pending() {
    return background().pending();
}

void DMDiskToolsFlow::alert(QWidget* window, const std::string& title, const std::string& reason) {
    presenter_->present({title, "", {DMTr::text(T::ok)}, std::nullopt, reason}, window, [](int) {});
}

void DMDiskToolsFlow::erase(const Drive& drive, QWidget* window) {
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    background().run<Reading>([drive] { return readTarget(drive); }, [self, drive, sheetWindow](Reading reading) {
        if (!reading.target) {
            return;
        }
        if (!reading.refusal.empty()) {
            self->alert(sheetWindow.data(), DMTr::text(T::cannotEraseTitle), reading.refusal);
            return;
        }
        if (self->eraseWnd_) {
            self->eraseWnd_->close();
            self->eraseWnd_->deleteLater();
        }
        std::weak_ptr<DMDiskToolsFlow> weak = self;
        self->eraseWnd_ = new DMEraseWindowController(
            *reading.target,
            [weak, drive](const DMEraseWindowController::Choice& choice) {
                if (auto flow = weak.lock()) {
                    flow->confirmErase(drive, choice);
                }
            },
            sheetWindow.data());
        self->eraseWnd_->setWindowModality(Qt::WindowModal);
        self->eraseWnd_->show();
    });
}

// The last word before anything is written: the drive, its size and what is on it.
void DMDiskToolsFlow::confirmErase(const Drive& drive, const DMEraseWindowController::Choice& choice) {
    if (!eraseWnd_) {
        return;
    }
    const DMEraseTarget& target = eraseWnd_->target();
    DMAlert question{DMTextFormat::withText(DMTr::text(T::confirmEraseTitle), target.title()),
                     DMTextFormat::withText(DMTr::text(T::lossText), target.contents()),
                     {DMTr::text(T::cancel), DMTr::text(T::erase)},
                     0};
    std::weak_ptr<DMDiskToolsFlow> weak = shared_from_this();
    presenter_->present(question, eraseWnd_.data(), [weak, drive, choice](int button) {
        auto self = weak.lock();
        if (self && button == 1) {
            self->runErase(drive, choice);
        }
    });
}

void DMDiskToolsFlow::runErase(const Drive& drive, const DMEraseWindowController::Choice& choice) {
    if (!eraseWnd_) {
        return;
    }
    eraseWnd_->working();
    DMEraseTarget target = eraseWnd_->target();
    QPointer<QWidget> window(eraseWnd_->parentWidget());
    auto self = shared_from_this();
    background().run<XPCCodeAnswer>(
        [drive, target, choice] {
            if (std::string why = unmountFor(drive, target); !why.empty()) {
                return XPCCodeAnswer{16, why};
            }
            return DMDiskToolsWrapper().erase(target.identifier, choice.fileSystem, choice.label, choice.password);
        },
        [self, window](XPCCodeAnswer answer) {
            if (self->eraseWnd_) {
                self->eraseWnd_->accept();
                self->eraseWnd_->deleteLater();
                self->eraseWnd_ = nullptr;
            }
            if (answer.code != 0) {
                self->alert(window.data(), DMTr::text(T::eraseFailedTitle), answer.message);
            }
        });
}

void DMDiskToolsFlow::newPartition(const Drive& drive, QWidget* window) {
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    using Answer = std::pair<std::optional<DMPartitionTable>, std::string>;
    const std::string disk = drive->identifier();
    background().run<Answer>(
        [disk] {
            std::string error;
            auto table = DMDiskToolsWrapper().partitionTable(disk, error);
            return Answer{std::move(table), error};
        },
        [self, drive, sheetWindow](Answer answer) {
            if (!answer.first) {
                self->alert(sheetWindow.data(), DMTr::text(T::tableUnreadableTitle), answer.second);
            } else if (answer.first->freeRegions().empty()) {
                self->presenter_->present({DMTr::text(T::noFreeSpaceTitle), DMTr::text(T::noFreeSpaceText), {DMTr::text(T::ok)}}, sheetWindow.data(),
                                          [](int) {});
            } else {
                self->openNewPartition(drive, *answer.first, sheetWindow.data());
            }
        });
}

void DMDiskToolsFlow::openNewPartition(const Drive& drive, const DMPartitionTable& table, QWidget* window) {
    if (partitionWnd_) {
        partitionWnd_->close();
        partitionWnd_->deleteLater();
    }
    std::weak_ptr<DMDiskToolsFlow> weak = shared_from_this();
    const std::string disk = drive->identifier();
    partitionWnd_ = new DMNewPartitionWindowController(
        drive->name() + " (" + disk + ")", table.freeRegions(),
        [weak, disk](const DMNewPartitionWindowController::Choice& choice) {
            auto self = weak.lock();
            if (!self || !self->partitionWnd_) {
                return;
            }
            self->partitionWnd_->working();
            QPointer<QWidget> parent(self->partitionWnd_->parentWidget());
            background().run<XPCCodeAnswer>(
                [disk, choice] {
                    return DMDiskToolsWrapper().createPartition(disk, choice.startBytes, choice.sizeBytes,
                                                                choice.fileSystem, choice.label, choice.password);
                },
                [self, parent](XPCCodeAnswer answer) {
                    if (self->partitionWnd_) {
                        self->partitionWnd_->accept();
                        self->partitionWnd_->deleteLater();
                        self->partitionWnd_ = nullptr;
                    }
                    if (answer.code != 0) {
                        self->alert(parent.data(), DMTr::text(T::partitionFailedTitle), answer.message);
                    }
                });
        },
        window);
    partitionWnd_->setWindowModality(Qt::WindowModal);
    partitionWnd_->show();
}

void DMDiskToolsFlow::deletePartition(const Drive& drive, QWidget* window) {
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    background().run<Reading>([drive] { return readTarget(drive); }, [self, drive, sheetWindow](Reading reading) {
        if (!reading.target || reading.target->wholeDisk) {
            return;
        }
        if (!reading.refusal.empty()) {
            self->alert(sheetWindow.data(), DMTr::text(T::deleteFailedTitle), reading.refusal);
            return;
        }
        DMEraseTarget target = *reading.target;
        DMAlert question{DMTextFormat::withText(DMTr::text(T::confirmDeleteTitle), target.title()),
                         DMTextFormat::withText(DMTr::text(T::lossText), target.contents()),
                         {DMTr::text(T::cancel), DMTr::text(T::deletePartition)},
                         0};
        self->presenter_->present(question, sheetWindow.data(), [self, drive, target, sheetWindow](int button) {
            if (button != 1) {
                return;
            }
            background().run<XPCCodeAnswer>(
                [drive, target] {
                    if (std::string why = unmountFor(drive, target); !why.empty()) {
                        return XPCCodeAnswer{16, why};
                    }
                    return DMDiskToolsWrapper().deletePartition(target.identifier);
                },
                [self, sheetWindow](XPCCodeAnswer answer) {
                    if (answer.code != 0) {
                        self->alert(sheetWindow.data(), DMTr::text(T::deleteFailedTitle), answer.message);
                    }
                });
        });
    });
}

}  // namespace harbormind
