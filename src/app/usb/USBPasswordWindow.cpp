#include "app/usb/USBPasswordWindow.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/DMTr.h"
#include "app/usb/USBShakeAnimation.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBPasswordRules.h"

namespace harbormind {

USBPasswordWindow::USBPasswordWindow(QWidget* parent) : QDialog(parent) {
    setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void USBPasswordWindow::done(int) {
    endCode_ = succeeded() ? codeDone : codeCancelled;
    QDialog::done(endCode_);
}

std::string USBPasswordWindow::text(const QLineEdit* field) {
    return field->text().toStdString();
}

QLineEdit* USBPasswordWindow::passwordField(const char* accessibleName) {
    auto* field = new QLineEdit(this);
    field->setEchoMode(QLineEdit::Password);
    field->setAccessibleName(QString::fromUtf8(accessibleName));
    field->setMinimumWidth(260);
    return field;
}

QPushButton* USBPasswordWindow::button(const char* title) {
    return new QPushButton(QString::fromUtf8(title), this);
}

QLabel* USBPasswordWindow::errorLabel() {
    auto* label = new QLabel(this);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: red;"));
    label->hide();
    return label;
}

void USBPasswordWindow::showError(QLabel* label, const std::string& message) {
    label->setText(QString::fromStdString(message));
    label->show();
    // A message of two lines (the daemon says how long to wait) must not run under the buttons.
    QWidget* window = label->window();
    window->resize(window->width(), std::max(window->height(), window->heightForWidth(window->width())));
    window->adjustSize();
}

void USBPasswordWindow::refuse(QLineEdit* field, QLabel* label, const std::string& message) {
    showError(label, message);
    USBShakeAnimation::shake(field);
}

void USBPasswordWindow::watchLength(const QList<QLineEdit*>& fields, QLabel* label) {
    for (QLineEdit* field : fields) {
        connect(field, &QLineEdit::textEdited, this, [fields, label] {
            bool tooLong = false;
            for (const QLineEdit* each : fields) {
                tooLong = tooLong || USBPasswordRules::isTooLong(text(each));
            }
            if (tooLong) {
                showError(label, DMTr::text(USBBlockerTexts::tooLongWhileTyping));
            } else {
                label->hide();
            }
        });
    }
}

void USBPasswordWindow::layOutOnePassword(QLabel* tip, QLineEdit* field, QLabel* error, QPushButton* cancel,
                                          QPushButton* ok, const std::function<void()>& accept) {
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tip);
    layout->addWidget(field);
    layout->addWidget(error);
    layout->addLayout(buttons);
    watchLength({field}, error);
    connect(ok, &QPushButton::clicked, this, accept);
    connect(cancel, &QPushButton::clicked, this, [this] { close(); });
}

}  // namespace harbormind
