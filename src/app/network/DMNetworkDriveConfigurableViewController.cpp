#include "app/network/DMNetworkDriveConfigurableViewController.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/common/DMTr.h"
#include "app/network/DMNetworkEditorTexts.h"
#include "network/DMNetworkDriveObject.h"
#include "network/NetworkDriveFolderText.h"

namespace harbormind {
namespace {

QLineEdit* field(const char* placeholder, const QString& text, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setPlaceholderText(QString::fromUtf8(placeholder));
    edit->setMinimumWidth(280);
    return edit;
}

}  // namespace

DMNetworkDriveConfigurableViewController::DMNetworkDriveConfigurableViewController(
    std::shared_ptr<DMNetworkDriveObject> drive, const NetworkDriveForm& initial, QWidget* parent)
    : DMBaseDriveConfigurableViewController(std::move(drive), parent),
      tfNickName_(field(DMTr::text(DMNetworkEditorTexts::nicknamePlaceholder), QString::fromStdString(initial.nickname), this)),
      btnURL_(new QPushButton(this)),
      tfServer_(field(DMTr::text(DMNetworkEditorTexts::folderPlaceholder), QString::fromStdString(initial.folder), this)),
      tfUsername_(field(DMTr::text(DMNetworkEditorTexts::usernamePlaceholder), QString::fromStdString(initial.userName), this)),
      cbAnonymousLogin_(new QCheckBox(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::anonymousLogin)), this)),
      tfPassword_(field(DMTr::text(DMNetworkEditorTexts::passwordPlaceholder), QString::fromStdString(initial.password), this)) {
    tfPassword_->setEchoMode(QLineEdit::Password);
    cbAnonymousLogin_->setChecked(initial.anonymous);
    // The address is shown, not edited.
    btnURL_->setFlat(true);
    btnURL_->setFocusPolicy(Qt::NoFocus);
    btnURL_->setStyleSheet(QStringLiteral("text-align: left; padding: 0;"));

    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addRow(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::nickname)), tfNickName_);
    layout->addRow(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::url)), btnURL_);
    layout->addRow(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::folder)), tfServer_);
    layout->addRow(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::username)), tfUsername_);
    layout->addRow(QString(), cbAnonymousLogin_);
    layout->addRow(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::password)), tfPassword_);

    for (QLineEdit* edit : {tfNickName_, tfServer_, tfUsername_, tfPassword_}) {
        QObject::connect(edit, &QLineEdit::textChanged, this, [this] { controlTextDidChange(); });
    }
    QObject::connect(cbAnonymousLogin_, &QCheckBox::toggled, this, [this] { anonymousLogin_clickWithSender(); });
    updateAccountFields();
    form().applyTo(*obj_);
    btnURL_->setText(QString::fromStdString(NetworkDriveFolderText::urlTitle(obj_->scheme(), obj_->host(), obj_->dir())));
}

NetworkDriveForm DMNetworkDriveConfigurableViewController::form() const {
    NetworkDriveForm form;
    form.nickname = tfNickName_->text().toStdString();
    form.folder = tfServer_->text().toStdString();
    form.userName = tfUsername_->text().toStdString();
    form.password = tfPassword_->text().toStdString();
    form.anonymous = cbAnonymousLogin_->isChecked();
    return form;
}

void DMNetworkDriveConfigurableViewController::controlTextDidChange() {
    form().applyTo(*obj_);
    btnURL_->setText(QString::fromStdString(NetworkDriveFolderText::urlTitle(obj_->scheme(), obj_->host(), obj_->dir())));
    tellDelegate();
}

void DMNetworkDriveConfigurableViewController::anonymousLogin_clickWithSender() {
    obj_->setAnonymous(cbAnonymousLogin_->isChecked());
    obj_->refreshIdentifier();
    updateAccountFields();
    tellDelegate();
}

void DMNetworkDriveConfigurableViewController::setEditable(bool editable) {
    editable_ = editable;
    tfNickName_->setEnabled(editable);
    tfServer_->setEnabled(editable);
    cbAnonymousLogin_->setEnabled(editable);
    updateAccountFields();
}

void DMNetworkDriveConfigurableViewController::updateAccountFields() {
    // A guest has no account: its fields are kept but cannot be edited.
    const bool account = editable_ && !cbAnonymousLogin_->isChecked();
    tfUsername_->setEnabled(account);
    tfPassword_->setEnabled(account);
}

}  // namespace harbormind
