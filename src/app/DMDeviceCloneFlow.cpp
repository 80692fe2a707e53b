#include "app/DMDeviceCloneFlow.h"

#include <QCoreApplication>

#include "app/DMAlertPresenter.h"
#include "app/DMDriveOperations.h"
#include "drivemodel/DMCloneErrorCode.h"
#include "drivemodel/DMCloneTexts.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "support/Clock.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {
namespace {

const char* pairCheckText(DMCloneErrorCode code) {
    switch (code) {
        case DMCloneErrorCode::openSourceDeivceFaild: return DMCloneTexts::openSourceFailed;
        case DMCloneErrorCode::openDestinDeviceFaild: return DMCloneTexts::openDestinationFailed;
        case DMCloneErrorCode::sectorSizeNoMatch: return DMCloneTexts::sectorSizeMismatch;
        case DMCloneErrorCode::destinDeviceSzieNoEnough: return DMCloneTexts::notEnoughSpace;
        case DMCloneErrorCode::noError: break;
    }
    return nullptr;
}

void closeWindow(QWidget* window) {
    if (window) {
        window->hide();
        window->deleteLater();
    }
}

}  // namespace

DMDeviceCloneFlow::DMDeviceCloneFlow(std::shared_ptr<DMDriveOperations> operations,
                                     std::shared_ptr<DMAlertPresenter> presenter,
                                     std::shared_ptr<DMDeviceCloneWrapper> wrapper)
    : operations_(std::move(operations)),
      presenter_(std::move(presenter)),
      deviceCloneWrapper_(wrapper ? std::move(wrapper) : DMDeviceCloneWrapper::create()) {}

template <typename Result>
void DMDeviceCloneFlow::inBackground(std::function<Result()> work, std::function<void(Result)> then) {
    auto self = shared_from_this();
    Dispatch::global()->async([self, work = std::move(work), then = std::move(then)] {
        Result result = work();
        Dispatch::main().async([self, then, result] { then(result); });
    });
}

void DMDeviceCloneFlow::alert(const char* text, QWidget* window) {
    presenter_->present({text, "", {DMCloneTexts::ok}}, window, nullptr);
}

void DMDeviceCloneFlow::clone(const Drive& source, QWidget* window) {
    struct Drives {
        DMCloneDrive source;
        std::vector<DMCloneDrive> candidates;
    };
    auto operations = operations_;
    QPointer<QWidget> sheetWindow(window);
    inBackground<Drives>(
        [operations, source] {
            Drives drives{operations->cloneDrive(source), {}};
            for (const Drive& drive : operations->externalRootDrives()) {
                if (drive && drive->identifier() != source->identifier()) {
                    drives.candidates.push_back(operations->cloneDrive(drive));
                }
            }
            return drives;
        },
        [this, sheetWindow](Drives drives) {
            if (drives.candidates.empty()) {
                alert(DMCloneTexts::noDestination, sheetWindow.data());
                return;
            }
            showPicker(std::move(drives.source), std::move(drives.candidates), sheetWindow.data());
        });
}

void DMDeviceCloneFlow::showPicker(DMCloneDrive source, std::vector<DMCloneDrive> candidates,
                                   QWidget* window) {
    closeWindow(deviceCloneWndController_);
    auto* picker = new DMDeviceCloneWndController(
        std::move(source), std::move(candidates), [this] { openHelp(); }, window);
    picker->setAttribute(Qt::WA_DeleteOnClose);
    picker->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    deviceCloneWndController_ = picker;
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    QObject::connect(picker, &QDialog::finished, picker, [self, picker, sheetWindow](int result) {
        if (result == 1 && picker->flag && picker->selectDrive) {
            DMCloneDrive destination = *picker->selectDrive;
            auto proceed = [self, source = picker->sourseDeviceObj, destination, sheetWindow] {
                self->confirm(source, destination, sheetWindow.data());
            };
            if (self->whiteListGuard_) {
                self->whiteListGuard_(destination.identifier, proceed);
            } else {
                proceed();
            }
        }
    });
    picker->open();
}

void DMDeviceCloneFlow::openHelp() {
    std::string version = QCoreApplication::applicationVersion().toStdString();
    operations_->openURL(std::string(DMCloneTexts::helpURL) + "?lang=en&edition=linux&version=" + version);
}

void DMDeviceCloneFlow::confirm(const DMCloneDrive& source, const DMCloneDrive& destination,
                                QWidget* window) {
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    presenter_->present({DMCloneTexts::overwriteWarning, "", {DMCloneTexts::ok, DMCloneTexts::cancel}},
                        window, [self, source, destination, sheetWindow](int button) {
                            if (button == 0) {
                                self->askAboutInterruption(source, destination, sheetWindow.data());
                            }
                        });
}

void DMDeviceCloneFlow::askAboutInterruption(const DMCloneDrive& source, const DMCloneDrive& destination,
                                             QWidget* window) {
    auto wrapper = deviceCloneWrapper_;
    QPointer<QWidget> sheetWindow(window);
    inBackground<bool>(
        [wrapper, destination] { return wrapper->isCloneInterrupted(destination.identifier); },
        [this, source, destination, sheetWindow](bool interrupted) {
            if (!interrupted) {
                start(destination, source, false, sheetWindow.data());
                return;
            }
            auto self = shared_from_this();
            presenter_->present(
                {DMCloneTexts::interrupted,
                 "",
                 {DMCloneTexts::continueButton, DMCloneTexts::resumeClone, DMCloneTexts::cancel}},
                sheetWindow.data(), [self, source, destination, sheetWindow](int button) {
                    if (button == 0) {
                        self->start(destination, source, true, sheetWindow.data());
                    } else if (button == 1) {
                        self->resume(destination, sheetWindow.data());
                    }
                });
        });
}

void DMDeviceCloneFlow::resumeClone(const Drive& destination, QWidget* window) {
    auto operations = operations_;
    QPointer<QWidget> sheetWindow(window);
    inBackground<DMCloneDrive>(
        [operations, destination] { return operations->cloneDrive(destination); },
        [this, sheetWindow](DMCloneDrive drive) { resume(drive, sheetWindow.data()); });
}

void DMDeviceCloneFlow::resume(const DMCloneDrive& destination, QWidget* window) {
    struct Found {
        bool recorded = false;
        std::optional<DMCloneDrive> source;
    };
    auto wrapper = deviceCloneWrapper_;
    auto operations = operations_;
    QPointer<QWidget> sheetWindow(window);
    inBackground<Found>(
        [wrapper, operations, destination] {
            Found found;
            std::string identifier = wrapper->cloneInterruptSource(destination.identifier);
            found.recorded = !identifier.empty();
            if (Drive drive = found.recorded ? operations->localDriveWithIdentifier(identifier) : nullptr) {
                found.source = operations->cloneDrive(drive);
            }
            return found;
        },
        [this, destination, sheetWindow](Found found) {
            if (!found.recorded) {
                alert(DMCloneTexts::sourceUuidEmpty, sheetWindow.data());
            } else if (!found.source) {
                alert(DMCloneTexts::insertSource, sheetWindow.data());
            } else {
                start(destination, *found.source, false, sheetWindow.data());
            }
        });
}

void DMDeviceCloneFlow::start(const DMCloneDrive& destination, const DMCloneDrive& source, bool isCover,
                              QWidget* window) {
    closeWindow(deviceCloneProgressWndController_);
    auto* sheet = new DMDeviceCloneProgressWndController(deviceCloneWrapper_, presenter_, window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    deviceCloneProgressWndController_ = sheet;
    deviceCloneWrapper_->setDelegate(sheet->receiver());
    auto wrapper = deviceCloneWrapper_;
    QPointer<QWidget> sheetWindow(window);
    inBackground<std::int64_t>(
        [wrapper, destination, source] {
            return wrapper->checkDisk(destination.identifier, source.identifier);
        },
        [this, destination, source, isCover, sheetWindow](std::int64_t code) {
            react(code, destination, source, isCover, sheetWindow.data());
        });
}

void DMDeviceCloneFlow::react(std::int64_t code, const DMCloneDrive& destination, const DMCloneDrive& source,
                              bool isCover, QWidget* window) {
    auto known = cloneErrorCodeFromRaw(code);
    if (!known || *known != DMCloneErrorCode::noError) {
        closeWindow(deviceCloneProgressWndController_);
        deviceCloneProgressWndController_ = nullptr;
        if (const char* text = known ? pairCheckText(*known) : nullptr) {
            alert(text, window);
        } else {
            Log::warning("clone: the pair check gave no answer (" + std::to_string(code) + ")");
        }
        return;
    }
    if (deviceCloneProgressWndController_) {
        deviceCloneProgressWndController_->open();
    }
    auto wrapper = deviceCloneWrapper_;
    auto operations = operations_;
    Dispatch::global()->async([wrapper, operations, destination, source, isCover] {
        operations->unmount(destination.drive, DMUnmountOption::plain);
        for (int poll = 0; poll < unmountPolls && operations->isMounted(destination.drive); ++poll) {
            Clock::current().sleepFor(seconds(1));
        }
        wrapper->clone(destination.identifier, source.identifier, isCover);
    });
}

}  // namespace harbormind
