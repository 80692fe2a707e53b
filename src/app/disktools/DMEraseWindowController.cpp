#include "app/disktools/DMEraseWindowController.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/DMTextFormat.h"
#include "app/DMTr.h"
#include "xpc/DMVolumeLabelRules.h"

namespace harbormind {

DMEraseWindowController::DMEraseWindowController(DMEraseTarget target, Erase erase, QWidget* parent)
    : QDialog(parent),
      target_(std::move(target)),
      erase_(std::move(erase)),
      tfName_(new QLineEdit(this)),
      pbFileSystem_(new QComboBox(this)),
      lbPassword_(new QLabel(DMTr::qtext("Password:"), this)),
      tfPassword_(new QLineEdit(this)),
      tfPasswordAgain_(new QLineEdit(this)),
      lbProblem_(new QLabel(this)),
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
    tfName_->setText(QString::fromStdString(target_.volumes.size() == 1 ? target_.volumes[0].name : "Untitled"));
    form->addRow(DMTr::qtext("Name:"), tfName_);
    for (DMEraseFileSystem fileSystem : DMEraseFileSystems::all()) {
        pbFileSystem_->addItem(QString::fromStdString(DMEraseFileSystems::displayNameOf(fileSystem)),
                               static_cast<int>(fileSystem));
    }
    form->addRow(DMTr::qtext("Format:"), pbFileSystem_);
    tfPassword_->setEchoMode(QLineEdit::Password);
    tfPasswordAgain_->setEchoMode(QLineEdit::Password);
    tfPasswordAgain_->setPlaceholderText(DMTr::qtext("Again"));
    auto* passwords = new QHBoxLayout();
    passwords->addWidget(tfPassword_);
    passwords->addWidget(tfPasswordAgain_);
    form->addRow(lbPassword_, passwords);
    layout->addLayout(form);
    lbProblem_->setWordWrap(true);
    lbProblem_->setStyleSheet("color: #e53935;");
    layout->addWidget(lbProblem_);

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
    connect(tfName_, &QLineEdit::textChanged, this, [this] { check(); });
    connect(tfPassword_, &QLineEdit::textChanged, this, [this] { check(); });
    connect(tfPasswordAgain_, &QLineEdit::textChanged, this, [this] { check(); });
    connect(pbFileSystem_, &QComboBox::currentIndexChanged, this, [this] { check(); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnErase_, &QPushButton::clicked, this, [this] {
        auto checked = DMVolumeLabelRules::check(fileSystem(), tfName_->text().toStdString());
        if (problem_.empty() && erase_) {
            // A password typed for an encrypted volume and then left behind goes nowhere.
            const bool encrypted = fileSystem() == DMEraseFileSystem::luks2Ext4;
            erase_({fileSystem(), checked.label, encrypted ? tfPassword_->text().toStdString() : std::string()});
        }
    });
    check();
}

DMEraseFileSystem DMEraseWindowController::fileSystem() const {
    return static_cast<DMEraseFileSystem>(pbFileSystem_->currentData().toInt());
}

void DMEraseWindowController::selectFileSystem(DMEraseFileSystem fileSystem) {
    pbFileSystem_->setCurrentIndex(pbFileSystem_->findData(static_cast<int>(fileSystem)));
    check();
}

void DMEraseWindowController::check() {
    const bool encrypted = fileSystem() == DMEraseFileSystem::luks2Ext4;
    lbPassword_->setVisible(encrypted);
    tfPassword_->setVisible(encrypted);
    tfPasswordAgain_->setVisible(encrypted);
    auto checked = DMVolumeLabelRules::check(fileSystem(), tfName_->text().toStdString());
    problem_ = checked.accepted ? std::string() : checked.reason;
    if (problem_.empty() && encrypted && tfPassword_->text().isEmpty()) {
        problem_ = DMTr::text("An encrypted volume needs a password.");
    } else if (problem_.empty() && encrypted && tfPassword_->text() != tfPasswordAgain_->text()) {
        problem_ = DMTr::text("The two passwords differ.");
    }
    lbProblem_->setText(QString::fromStdString(problem_));
    lbProblem_->setVisible(!problem_.empty());
    btnErase_->setEnabled(problem_.empty() && !isWorking());
}

void DMEraseWindowController::working() {
    for (QWidget* control : std::initializer_list<QWidget*>{tfName_, pbFileSystem_, tfPassword_, tfPasswordAgain_,
                                                            btnErase_, btnCancel_}) {
        control->setEnabled(false);
    }
    piWorking_->show();
    lbWorking_->show();
}

bool DMEraseWindowController::isWorking() const {
    return !piWorking_->isHidden();
}

}  // namespace harbormind
