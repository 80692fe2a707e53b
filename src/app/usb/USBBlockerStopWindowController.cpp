#include "app/usb/USBBlockerStopWindowController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "app/DMAlertPresenter.h"
#include "app/usb/USBNotices.h"
#include "support/Dispatch.h"
#include "usbblocker/USBBlockerKeyChain.h"
#include "usbblocker/USBBlockerSwitch.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBPasswordRules.h"

namespace harbormind {

USBBlockerStopWindowController::USBBlockerStopWindowController(QWidget* parent, const USBBlockerKeyChain& keyChain,
                                                               std::shared_ptr<DMAlertPresenter> presenter)
    : USBPasswordWindow(parent), keyChain_(keyChain), presenter_(std::move(presenter)) {
    setWindowTitle(QString::fromUtf8(USBBlockerTexts::stopped));
    auto* tip = new QLabel(QString::fromUtf8(USBBlockerTexts::stopTip), this);
    editPassword = passwordField(USBBlockerTexts::stopTip);
    lbErrorTip = errorLabel();
    btnCancel = button(USBBlockerTexts::cancel);
    btnOk = button(USBBlockerTexts::ok);
    layOutOnePassword(tip, editPassword, lbErrorTip, btnCancel, btnOk, [this] { btnOk_click(); });
}

void USBBlockerStopWindowController::btnOk_click() {
    if (stopSuccess) {
        return;
    }
    if (auto error = USBPasswordRules::stopError(text(editPassword), keyChain_.password())) {
        refuse(editPassword, lbErrorTip, *error);
        return;
    }
    stopSuccess = true;
    btnOk->setEnabled(false);
    QPointer<USBBlockerStopWindowController> self(this);
    Dispatch::main().asyncAfter(seconds(USBBlockerSwitch::unloadDelay), [self] {
        if (self) {
            self->unload();
        }
    });
}

void USBBlockerStopWindowController::unload() {
    if (USBBlockerSwitch::unloadAgent()) {
        presenter_->present(USBNotices::notice(USBBlockerTexts::disabled), nullptr, nullptr);
        close();
        return;
    }
    QPointer<USBBlockerStopWindowController> self(this);
    presenter_->present(USBNotices::alert(USBBlockerTexts::disableFailed), this, [self](int) {
        if (self) {
            self->close();
        }
    });
}

}  // namespace harbormind
