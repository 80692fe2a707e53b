#include "app/usb/USBGeneralViewController.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTr.h"
#include "app/usb/USBNotices.h"
#include "usbblocker/USBBlockerTexts.h"
#include "xpc/DMUSBBlockerServerProtocol.h"

namespace harbormind {

USBGeneralViewController::USBGeneralViewController(QWidget* parent, USBBlockerSettings settings,
                                                   std::function<std::string()> password,
                                                   std::shared_ptr<DMAlertPresenter> presenter)
    : USBPage(parent, DMTr::text(USBBlockerTexts::general)),
      userDefaults(std::move(settings)),
      password_(std::move(password)),
      presenter_(std::move(presenter)) {
    auto* title = new QLabel(QString::fromUtf8(DMTr::text(USBBlockerTexts::selectMode)), this);
    btnModelSelect = new QComboBox(this);
    btnModelSelect->addItem(QString::fromUtf8(DMTr::text(USBBlockerTexts::modeAsk)));
    btnModelSelect->addItem(QString::fromUtf8(DMTr::text(USBBlockerTexts::modeWhiteListOnly)));
    btnModelSelect->setAccessibleName(QString::fromUtf8(DMTr::text(USBBlockerTexts::selectMode)));
    auto* askExplained = new QLabel(QString::fromUtf8(DMTr::text(USBBlockerTexts::modeAskExplained)), this);
    auto* onlyExplained = new QLabel(QString::fromUtf8(DMTr::text(USBBlockerTexts::modeWhiteListOnlyExplained)), this);
    askExplained->setWordWrap(true);
    onlyExplained->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(btnModelSelect);
    layout->addSpacing(12);
    layout->addWidget(askExplained);
    layout->addWidget(onlyExplained);
    layout->addStretch();
    connect(btnModelSelect, &QComboBox::activated, this, [this](int index) { btnModelSelect_changed(index); });
}

void USBGeneralViewController::pageShown() {
    QSignalBlocker quiet(btnModelSelect);
    std::optional<std::int64_t> value = userDefaults.modeValue();
    if (value == USBBlockerSettings::whiteListOnlyValue) {
        btnModelSelect->setCurrentIndex(1);
    } else if (value == USBBlockerSettings::askEveryTimeValue) {
        btnModelSelect->setCurrentIndex(0);
    }
}

void USBGeneralViewController::btnModelSelect_changed(int index) {
    int mode = index == 1 ? USBBlockerSettings::whiteListOnlyValue : USBBlockerSettings::askEveryTimeValue;
    XPCCodeAnswer answer = userDefaults.wrapper()->setMode(mode, password_ ? password_() : std::string());
    if (answer.code != DMUSBBlockerServerProtocol::done) {
        pageShown();
        presenter_->present(USBNotices::alert(DMUSBBlockerWrapper::reason(answer)), window(), nullptr);
    }
}

}  // namespace harbormind
