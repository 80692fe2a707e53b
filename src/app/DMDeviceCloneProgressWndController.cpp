#include "app/DMDeviceCloneProgressWndController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/DMAlertPresenter.h"
#include "app/DMDeviceCloneProgressReceiver.h"
#include "app/DMTextFormat.h"
#include "drivemodel/DMCloneTexts.h"
#include "drivemodel/DMDeviceCloneWrapper.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

// "%d : %d " with the full byte counts (a clone passes 2 GiB long before it ends).
QString sizeText(const DMProgressMessage& message) {
    std::string text = DMCloneTexts::sizeFormat;
    text.replace(text.find("%d"), 2, std::to_string(message.current));
    text.replace(text.find("%d"), 2, std::to_string(message.total));
    return QString::fromStdString(text);
}

}  // namespace

DMDeviceCloneProgressWndController::DMDeviceCloneProgressWndController(
    std::shared_ptr<DMDeviceCloneWrapper> wrapper, std::shared_ptr<DMAlertPresenter> presenter,
    QWidget* parent)
    : QDialog(parent), mgr(std::move(wrapper)), presenter_(std::move(presenter)) {
    receiver_ = std::make_shared<DMDeviceCloneProgressReceiver>(this);
    setFixedWidth(460);
    lbTitle = new QLabel(DMCloneTexts::cloning, this);
    QFont bold = lbTitle->font();
    bold.setBold(true);
    lbTitle->setFont(bold);
    progress = new QProgressBar(this);
    progress->setRange(0, barSteps);
    progress->setTextVisible(false);
    lbCloneSize = new QLabel(this);
    btnCancel = new QPushButton(DMCloneTexts::cancel, this);
    btnFinish = new QPushButton(DMCloneTexts::finish, this);
    btnFinish->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnFinish);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbTitle);
    layout->addWidget(progress);
    layout->addWidget(lbCloneSize);
    layout->addLayout(buttons);
    connect(btnCancel, &QPushButton::clicked, this, [this] { cancelClone(); });
    connect(btnFinish, &QPushButton::clicked, this, [this] { done(0); });
}

void DMDeviceCloneProgressWndController::showProgress(const DMProgressMessage& message) {
    if (message.status == DMProgressStatus::running) {
        progress->setValue(static_cast<int>(std::round(message.progress() * barSteps)));
        lbCloneSize->setText(sizeText(message));
    } else if (message.status == DMProgressStatus::finished) {
        showEnd(message);
    }
}

void DMDeviceCloneProgressWndController::showEnd(const DMProgressMessage& message) {
    btnCancel->hide();
    btnFinish->show();
    lbCloneSize->setText(sizeText(message) + QString::fromStdString(message.message));
    switch (message.error) {
        case DMProgressError::noError:
            progress->setValue(barSteps);
            lbTitle->setText(DMCloneTexts::completed);
            return;
        case DMProgressError::eErrorSourceStroageDisapper:
            presenter_->present({DMCloneTexts::sourceMissing, "", {DMCloneTexts::ok}}, this, nullptr);
            break;
        case DMProgressError::eErrorDestinStroageDisapper:
            presenter_->present({DMCloneTexts::destinationMissing, "", {DMCloneTexts::ok}}, this, nullptr);
            break;
        default: break;
    }
    // Not "completed": the copy ended early and the destination is not a whole copy.
    lbTitle->setText(QString::fromStdString(
        DMTextFormat::withInteger(DMCloneTexts::stoppedWithError, static_cast<long long>(message.error))));
}

void DMDeviceCloneProgressWndController::cancelClone() {
    if (mgr) {
        mgr->stopCloneWithFlag(true);
    }
    QPointer<DMDeviceCloneProgressWndController> self(this);
    Dispatch::main().async([self] {
        if (self) {
            self->done(0);
        }
    });
}

}  // namespace harbormind
