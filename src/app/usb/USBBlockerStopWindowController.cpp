#include "app/usb/USBBlockerStopWindowController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTr.h"
#include "app/usb/USBNotices.h"
#include "support/Dispatch.h"
#include "usbblocker/USBBlockerSwitch.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBPasswordRules.h"

namespace harbormind {

USBBlockerStopWindowController::USBBlockerStopWindowController(QWidget* parent,
                                                               std::shared_ptr<USBBlockerSwitch> blockerSwitch,
                                                               std::shared_ptr<DMAlertPresenter> presenter)
    : USBPasswordWindow(parent), switch_(std::move(blockerSwitch)), presenter_(std::move(presenter)) {
    setWindowTitle(QString::fromUtf8(DMTr::text(USBBlockerTexts::stopped)));
    auto* tip = new QLabel(QString::fromUtf8(DMTr::text(USBBlockerTexts::stopTip)), this);
    editPassword = passwordField(DMTr::text(USBBlockerTexts::stopTip));
    lbErrorTip = errorLabel();
    btnCancel = button(DMTr::text(USBBlockerTexts::cancel));
    btnOk = button(DMTr::text(USBBlockerTexts::ok));
    layOutOnePassword(tip, editPassword, lbErrorTip, btnCancel, btnOk, [this] { btnOk_click(); });
}

void USBBlockerStopWindowController::btnOk_click() {
    if (stopSuccess) {
        return;
    }
    std::string entered = text(editPassword);
    if (auto error = USBPasswordRules::stopError(entered, USBPasswordRules::daemonCheck(*switch_->wrapper()))) {
        refuse(editPassword, lbErrorTip, *error);
        return;
    }
    stopSuccess = true;
    btnOk->setEnabled(false);
    QPointer<USBBlockerStopWindowController> self(this);
    Dispatch::main().asyncAfter(seconds(USBBlockerSwitch::unloadDelay), [self, entered] {
        if (self) {
            self->turnOff(entered);
        }
    });
}

void USBBlockerStopWindowController::turnOff(const std::string& password) {
    USBBlockerSwitch::StopResult result = switch_->disable(password);
    off_ = result.off;
    QPointer<USBBlockerStopWindowController> self(this);
    auto closeWindow = [self](int) {
        if (self) {
            self->close();
        }
    };
    if (!result.off) {
        presenter_->present(USBNotices::alert(DMTr::text(USBBlockerTexts::disableFailed) + std::string(" ") + result.reason),
                            this, closeWindow);
        return;
    }
    std::string message = DMTr::text(USBBlockerTexts::disabled);
    if (!result.agentStopped) {
        message += std::string(" ") + DMTr::text(USBBlockerTexts::agentNotStopped);
    }
    presenter_->present(USBNotices::notice(message), parentWidget(), nullptr);
    close();
}

}  // namespace harbormind
