#include "app/disktools/DMEraseWindowController.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"

namespace harbormind {

DMEraseWindowController::DMEraseWindowController(DMEraseTarget target, Erase erase, QWidget* parent)
    : QDialog(parent),
      target_(std::move(target)),
      erase_(std::move(erase)),
      fields_(this, QString::fromStdString(target_.volumes.size() == 1 ? target_.volumes[0].name : "Untitled"),
              [this] { check(); }),
      piWorking_(new QProgressBar(this)),
      lbWorking_(new QLabel(DMTr::qtext("Erasing..."), this)),
      btnCancel_(new QPushButton(DMTr::qtext("Cancel"), this)),
      btnErase_(new QPushButton(DMTr::qtext("Erase"), this)) {
    setWindowTitle(QString::fromStdString(DMTextFormat::withText(DMTr::text(eraseTitle), target_.name)));
    setMinimumWidth(520);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QString::fromStdString(DMTextFormat::withText(DMTr::text(eraseTitle), target_.name)), this);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title->setFont(bold);
    layout->addWidget(title);
    auto* about = new QLabel(QString::fromStdString(
                                 DMTextFormat::withText(DMTr::text(target_.wholeDisk ? wholeDiskText : volumeText), target_.title()) +
                                 " " + target_.contents()),
                             this);
    about->setWordWrap(true);
    layout->addWidget(about);

    auto* form = new QFormLayout();
    fields_.addNameRow(*form);
    fields_.addFormatRow(*form);
    fields_.addPasswordRow(*form);
    layout->addLayout(form);
    layout->addWidget(fields_.lbProblem());

    auto* buttons = new QHBoxLayout();
    piWorking_->setRange(0, 0);
    piWorking_->setFixedWidth(80);
    piWorking_->setTextVisible(false);
    buttons->addWidget(piWorking_);
    buttons->addWidget(lbWorking_);
    buttons->addStretch(1);
    buttons->addWidget(btnCancel_);
    buttons->addWidget(btnErase_);
    layout->addLayout(buttons);
    piWorking_->hide();
    lbWorking_->hide();
    btnCancel_->setDefault(true);

    selectFileSystem(DMEraseFileSystem::exfat);
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnErase_, &QPushButton::clicked, this, [this] {
        if (problem_.empty() && erase_) {
            erase_({fields_.fileSystem(), fields_.label(), fields_.password()});
        }
    });
    check();
}

void DMEraseWindowController::selectFileSystem(DMEraseFileSystem fileSystem) {
    fields_.selectFileSystem(fileSystem);
    check();
}

void DMEraseWindowController::check() {
    problem_ = fields_.check();
    btnErase_->setEnabled(problem_.empty() && !isWorking());
}

void DMEraseWindowController::working() {
    fields_.disable();
    btnErase_->setEnabled(false);
    btnCancel_->setEnabled(false);
    piWorking_->show();
    lbWorking_->show();
}

bool DMEraseWindowController::isWorking() const {
    return !piWorking_->isHidden();
}

}  // namespace harbormind
