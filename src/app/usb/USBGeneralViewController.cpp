#include "app/usb/USBGeneralViewController.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "usbblocker/USBBlockerTexts.h"

namespace harbormind {

USBGeneralViewController::USBGeneralViewController(QWidget* parent, USBBlockerSettings settings)
    : USBPage(parent, USBBlockerTexts::general), userDefaults(std::move(settings)) {
    auto* title = new QLabel(QString::fromUtf8(USBBlockerTexts::selectMode), this);
    btnModelSelect = new QComboBox(this);
    btnModelSelect->addItem(QString::fromUtf8(USBBlockerTexts::modeAsk));
    btnModelSelect->addItem(QString::fromUtf8(USBBlockerTexts::modeWhiteListOnly));
    btnModelSelect->setAccessibleName(QString::fromUtf8(USBBlockerTexts::selectMode));
    auto* askExplained = new QLabel(QString::fromUtf8(USBBlockerTexts::modeAskExplained), this);
    auto* onlyExplained = new QLabel(QString::fromUtf8(USBBlockerTexts::modeWhiteListOnlyExplained), this);
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
    pageShown();
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
    userDefaults.setModeValue(index == 1 ? USBBlockerSettings::whiteListOnlyValue
                                         : USBBlockerSettings::askEveryTimeValue);
}

}  // namespace harbormind
