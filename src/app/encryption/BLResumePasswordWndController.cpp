#include "app/encryption/BLResumePasswordWndController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionTexts.h"

namespace harbormind {

BLResumePasswordWndController::BLResumePasswordWndController(const std::string& driveName, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(DMTr::text(BLEncryptionTexts::resumeTitle));
    setFixedSize(500, 160);
    auto* title = new QLabel(DMTr::text(BLEncryptionTexts::resumeTitle), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* name = new QLabel(QString::fromStdString(driveName), this);
    auto* prompt = new QLabel(DMTr::text(BLEncryptionTexts::resumePrompt), this);
    prompt->setWordWrap(true);
    editPassword = new QLineEdit(this);
    editPassword->setEchoMode(QLineEdit::Password);
    editPassword->setAccessibleName(DMTr::text(BLEncryptionTexts::resumePrompt));
    btnCancel = new QPushButton(DMTr::text(BLEncryptionTexts::cancel), this);
    btnContinue = new QPushButton(DMTr::text(BLEncryptionTexts::alertContinue), this);
    btnContinue->setDefault(true);
    btnContinue->setEnabled(false);

    auto* header = new QHBoxLayout();
    header->addWidget(title);
    header->addStretch();
    header->addWidget(name);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnContinue);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(prompt);
    layout->addWidget(editPassword);
    layout->addLayout(buttons);

    connect(editPassword, &QLineEdit::textChanged, this,
            [this](const QString& text) { btnContinue->setEnabled(!text.isEmpty()); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(codeCancelled); });
    connect(btnContinue, &QPushButton::clicked, this, [this] { done(codeConfirmed); });
}

std::string BLResumePasswordWndController::password() const {
    return editPassword->text().toStdString();
}

}  // namespace harbormind
