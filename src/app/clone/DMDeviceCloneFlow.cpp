#include "app/clone/DMDeviceCloneFlow.h"

#include <QCoreApplication>
#include <QStringList>

#include "app/common/DMAlertPresenter.h"
#include "app/clone/DMDeviceCloneAttempt.h"
#include "app/clone/DMDeviceCloneStart.h"
#include "app/drives/DMDriveOperations.h"
#include "app/common/DMTr.h"
#include "drivemodel/DMCloneTexts.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "support/DMByteCountFormatter.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

void closeWindow(QWidget* window) {
    if (window) {
        window->hide();
        window->deleteLater();
    }
}

QString quotedNames(const std::vector<DMCloneDrive::Volume>& volumes) {
    QStringList names;
    for (const auto& volume : volumes) {
        names << QString("“%1”").arg(QString::fromStdString(volume.name));
    }
    return names.join(", ");
}

// "“Samsung T7” (500.1 GB), with its volumes “DATA”, “BACKUP”, will be erased..."
std::string overwriteText(const DMCloneDrive& source, const DMCloneDrive& destination) {
    QString name = QString::fromStdString(destination.name);
    QString size = QString::fromStdString(DMByteCountFormatter::string(destination.size));
    QString text = destination.volumes.empty()
                       ? DMDeviceCloneFlow::tr("Everything on “%1” (%2) will be replaced by a copy of “%3”.")
                             .arg(name, size, QString::fromStdString(source.name))
                       : DMDeviceCloneFlow::tr("Everything on “%1” (%2), with its volumes %3, will be replaced by a "
                                               "copy of “%4”.")
                             .arg(name, size, quotedNames(destination.volumes), QString::fromStdString(source.name));
    if (!destination.mountedVolumes().empty()) {
        text += " " + DMDeviceCloneFlow::tr("Its mounted volumes are unmounted first.");
    }
    return text.toStdString();
}

}  // namespace

QString DMDeviceCloneFlow::tr(const char* text) {
    return QCoreApplication::translate(DMTr::context, text);
}

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

void DMDeviceCloneFlow::alert(const char* text, QWidget* window, const std::string& informative) {
    presenter_->present({text, informative, {DMTr::text(DMCloneTexts::ok)}}, window, nullptr);
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
                alert(DMTr::text(DMCloneTexts::noDestination), sheetWindow.data());
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

// The warning names what is lost; Cancel comes first, as the default and the Escape answer.
void DMDeviceCloneFlow::confirm(const DMCloneDrive& source, const DMCloneDrive& destination,
                                QWidget* window) {
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    presenter_->present(
        {DMTr::text(DMCloneTexts::overwriteWarning), overwriteText(source, destination), {DMTr::text(DMCloneTexts::cancel), DMTr::text(DMCloneTexts::ok)}, 0},
        window, [self, source, destination, sheetWindow](int button) {
            if (button == 1) {
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
                askAboutMountedSource(destination, source, false, sheetWindow.data());
                return;
            }
            auto self = shared_from_this();
            presenter_->present(
                {DMTr::text(DMCloneTexts::interrupted),
                 "",
                 {DMTr::text(DMCloneTexts::continueButton), DMTr::text(DMCloneTexts::resumeClone), DMTr::text(DMCloneTexts::cancel)}},
                sheetWindow.data(), [self, source, destination, sheetWindow](int button) {
                    if (button == 0) {
                        self->askAboutMountedSource(destination, source, true, sheetWindow.data());
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
                alert(DMTr::text(DMCloneTexts::sourceUuidEmpty), sheetWindow.data(),
                      tr("The record of the interrupted clone does not name a source it can be resumed from. Clone "
                         "the drive again and choose Continue to copy from the beginning.")
                          .toStdString());
            } else if (!found.source) {
                alert(DMTr::text(DMCloneTexts::insertSource), sheetWindow.data());
            } else {
                askAboutMountedSource(destination, *found.source, false, sheetWindow.data());
            }
        });
}

// A source mounted while it is copied would arrive inconsistent: its volumes are unmounted
// first, when the user agrees. What is mounted is read again: the picker may have been open
// for a while.
void DMDeviceCloneFlow::askAboutMountedSource(const DMCloneDrive& destination, const DMCloneDrive& source,
                                              bool isCover, QWidget* window) {
    auto operations = operations_;
    QPointer<QWidget> sheetWindow(window);
    inBackground<DMCloneDrive>(
        [operations, source] { return source.drive ? operations->cloneDrive(source.drive) : source; },
        [this, destination, isCover, sheetWindow](DMCloneDrive current) {
            std::vector<DMCloneDrive::Volume> mounted = current.mountedVolumes();
            if (mounted.empty()) {
                start(destination, current, isCover, false, sheetWindow.data());
                return;
            }
            askToUnmountSource(destination, current, isCover, sheetWindow.data());
        });
}

void DMDeviceCloneFlow::askToUnmountSource(const DMCloneDrive& destination, const DMCloneDrive& source, bool isCover,
                                           QWidget* window) {
    QString where;
    for (const auto& volume : source.mountedVolumes()) {
        where += (where.isEmpty() ? "" : ", ") + QString("“%1” (%2)").arg(QString::fromStdString(volume.name),
                                                                          QString::fromStdString(*volume.mountPoint));
    }
    DMAlert question{tr("The source “%1” is mounted").arg(QString::fromStdString(source.name)).toStdString(),
                     tr("Its volumes %1 must be unmounted while they are copied, so that nothing changes them "
                        "midway. Unmount them and clone?")
                         .arg(where)
                         .toStdString(),
                     {DMTr::text(DMCloneTexts::cancel), tr("Unmount and Clone").toStdString()},
                     0};
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    presenter_->present(question, window, [self, destination, source, isCover, sheetWindow](int button) {
        if (button == 1) {
            self->start(destination, source, isCover, true, sheetWindow.data());
        }
    });
}

void DMDeviceCloneFlow::start(const DMCloneDrive& destination, const DMCloneDrive& source, bool isCover,
                              bool unmountSource, QWidget* window) {
    // A sheet still preparing another clone gives up its place, and that clone with it.
    if (attempt_ && !attempt_->isRequested()) {
        attempt_->cancel();
    }
    closeWindow(deviceCloneProgressWndController_);
    auto* sheet = new DMDeviceCloneProgressWndController(deviceCloneWrapper_, presenter_, window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    auto attempt = std::make_shared<DMDeviceCloneAttempt>();
    attempt_ = attempt;
    sheet->setAttempt(attempt, destination.name);
    deviceCloneProgressWndController_ = sheet;
    deviceCloneWrapper_->setDelegate(sheet->receiver());
    sheet->open();
    auto starting = std::make_shared<DMDeviceCloneStart>(
        DMDeviceCloneStart::Request{destination, source, isCover, unmountSource},
        DMDeviceCloneStart::Services{operations_, presenter_, deviceCloneWrapper_}, attempt, sheet, window);
    starting->run();
}

}  // namespace harbormind
