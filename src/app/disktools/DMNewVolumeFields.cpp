#include "app/disktools/DMNewVolumeFields.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/common/DMTr.h"
#include "xpc/DMVolumeLabelRules.h"

namespace harbormind {

DMNewVolumeFields::DMNewVolumeFields(QWidget* owner, const QString& name, std::function<void()> changed)
    : tfName_(new QLineEdit(name, owner)),
      pbFileSystem_(new QComboBox(owner)),
      lbPassword_(new QLabel(DMTr::qtext("Password:"), owner)),
      tfPassword_(new QLineEdit(owner)),
      tfPasswordAgain_(new QLineEdit(owner)),
      lbProblem_(new QLabel(owner)) {
    for (DMEraseFileSystem fileSystem : DMEraseFileSystems::all()) {
        pbFileSystem_->addItem(QString::fromStdString(DMEraseFileSystems::displayNameOf(fileSystem)),
                               static_cast<int>(fileSystem));
    }
    tfPassword_->setEchoMode(QLineEdit::Password);
    tfPasswordAgain_->setEchoMode(QLineEdit::Password);
    tfPasswordAgain_->setPlaceholderText(DMTr::qtext("Again"));
    lbProblem_->setWordWrap(true);
    lbProblem_->setStyleSheet("color: #e53935;");
    for (QLineEdit* field : {tfName_, tfPassword_, tfPasswordAgain_}) {
        QObject::connect(field, &QLineEdit::textChanged, owner, [changed] { changed(); });
    }
    QObject::connect(pbFileSystem_, &QComboBox::currentIndexChanged, owner, [changed] { changed(); });
}

void DMNewVolumeFields::addNameRow(QFormLayout& form) const {
    form.addRow(DMTr::qtext("Name:"), tfName_);
}

void DMNewVolumeFields::addFormatRow(QFormLayout& form) const {
    form.addRow(DMTr::qtext("Format:"), pbFileSystem_);
}

void DMNewVolumeFields::addPasswordRow(QFormLayout& form) const {
    auto* passwords = new QHBoxLayout();
    passwords->addWidget(tfPassword_);
    passwords->addWidget(tfPasswordAgain_);
    form.addRow(lbPassword_, passwords);
}

std::string DMNewVolumeFields::check() {
    const bool encrypted = fileSystem() == DMEraseFileSystem::luks2Ext4;
    lbPassword_->setVisible(encrypted);
    tfPassword_->setVisible(encrypted);
    tfPasswordAgain_->setVisible(encrypted);
    auto checked = DMVolumeLabelRules::check(fileSystem(), tfName_->text().toStdString());
    std::string problem = checked.accepted ? std::string() : checked.reason;
    if (problem.empty() && encrypted && tfPassword_->text().isEmpty()) {
        problem = DMTr::text("An encrypted volume needs a password.");
    } else if (problem.empty() && encrypted && tfPassword_->text() != tfPasswordAgain_->text()) {
        problem = DMTr::text("The two passwords differ.");
    }
    lbProblem_->setText(QString::fromStdString(problem));
    lbProblem_->setVisible(!problem.empty());
    return problem;
}

DMEraseFileSystem DMNewVolumeFields::fileSystem() const {
    return static_cast<DMEraseFileSystem>(pbFileSystem_->currentData().toInt());
}

void DMNewVolumeFields::selectFileSystem(DMEraseFileSystem fileSystem) {
    pbFileSystem_->setCurrentIndex(pbFileSystem_->findData(static_cast<int>(fileSystem)));
}

std::string DMNewVolumeFields::label() const {
    return DMVolumeLabelRules::check(fileSystem(), tfName_->text().toStdString()).label;
}

std::string DMNewVolumeFields::password() const {
    return fileSystem() == DMEraseFileSystem::luks2Ext4 ? tfPassword_->text().toStdString() : std::string();
}

void DMNewVolumeFields::disable() {
    for (QWidget* control : std::initializer_list<QWidget*>{tfName_, pbFileSystem_, tfPassword_, tfPasswordAgain_}) {
        control->setEnabled(false);
    }
}

}  // namespace harbormind
