#include "app/DMNetworkDriveViewController.h"

#include <QCoreApplication>
#include <QLayout>

#include "app/DMAlertPresenter.h"
#include "app/DMCapacityMapView.h"
#include "app/DMCapacityText.h"
#include "app/DMDriveAction.h"
#include "app/DMDriveActionManager.h"
#include "app/DMDriveRuleReasons.h"
#include "app/DMFailureText.h"
#include "app/DMMacDockView.h"
#include "app/DMTextFormat.h"
#include "app/DMTexts.h"
#include "platform/NetworkMountStatus.h"

namespace harbormind {

DMNetworkDriveViewController::DMNetworkDriveViewController(DMDetailContext context, QWidget* parent)
    : DMBaseViewController(std::move(context), parent), capacityMap_(new DMCapacityMapView(capacityArea_)) {
    capacityArea_->layout()->addWidget(capacityMap_);
    setFactKeys({DMTexts::factMountPoint, DMTexts::factType, "", DMTexts::factCapacity, DMTexts::factAvailable, "",
                 DMTexts::factUrl});
    actionBar_->setItems(DMDriveRules::networkItems());
}

std::string DMNetworkDriveViewController::connectFailureText(int code, const std::string& reason) {
    switch (code) {
    case 17: return DMTexts::connect17;
    case 60: return DMTexts::connect60;
    case 80: return DMTexts::connect80;
    case -128: return DMTexts::connectMinus128;
    case -1: return DMTexts::connectMinus1;
    case 13: return DMTexts::connect13;
    default:
        if (!reason.empty()) {
            return DMFailureText::sentence(
                QCoreApplication::translate("DMNetworkDriveViewController", "The connection failed: %1")
                    .arg(QString::fromStdString(reason))
                    .toStdString());
        }
        return DMTextFormat::withInteger(DMTexts::errorCodeContactSupport, code);
    }
}

std::string DMNetworkDriveViewController::connectFailureDetail(int code, const std::string& reason) {
    // The advice is the platform's text, looked up in the catalogue under its own context.
    std::string advice = NetworkMountStatus::advice(code);
    QString detail = advice.empty() ? QString() : QCoreApplication::translate("NetworkMountStatus", advice.c_str());
    if (!reason.empty() && !connectFailureText(code, reason).ends_with(DMFailureText::sentence(reason))) {
        QString words = QCoreApplication::translate("DMNetworkDriveViewController", "Details: %1")
                            .arg(QString::fromStdString(reason));
        detail = detail.isEmpty() ? words : detail + "\n\n" + words;
    }
    return detail.toStdString();
}

void DMNetworkDriveViewController::apply(const DMDriveSnapshot& snapshot) {
    setFact(DMTexts::factMountPoint, snapshot.own.mountPoint.value_or(DMTexts::notConnected));
    setFact(DMTexts::factType, snapshot.networkType);
    // A drive that is not connected has no size to show: its figures would read as an empty drive.
    const bool connected = snapshot.own.mountPoint.has_value();
    setFact(DMTexts::factCapacity, connected ? DMCapacityText::size(snapshot.capacity) : std::string());
    setFact(DMTexts::factAvailable, connected ? DMCapacityText::size(snapshot.free) : std::string());
    setFact(DMTexts::factUrl, snapshot.url);
    capacityMap_->setTitle(DMTextFormat::withText(DMTexts::volumeTitleFormat, snapshot.networkType));
    capacityMap_->setSubtitle(DMCapacityText::usedAndAvailable(snapshot.used, snapshot.free));
    const bool known = snapshot.used.has_value() && snapshot.capacity > 0;
    capacityMap_->setAvailable(known);
    capacityMap_->setUsedShare(known ? static_cast<double>(*snapshot.used) / static_cast<double>(snapshot.capacity) : 0);
    showSpinner(snapshot.isConnecting || snapshot.isDisconnecting);
}

bool DMNetworkDriveViewController::itemRule(const DMMacDockViewBaseItem& item) {
    return DMDriveRules::networkRule(static_cast<std::uint8_t>(item.action), snapshot());
}

std::string DMNetworkDriveViewController::itemRuleReason(const DMMacDockViewBaseItem& item) {
    return DMDriveRuleReasons::network(static_cast<std::uint8_t>(item.action), snapshot());
}

void DMNetworkDriveViewController::actionFinished(std::uint8_t action, int code) {
    if (action != DMDriveAction::mount || code == 0) {
        refresh();
        return;
    }
    if (context_.actions) {
        const std::string& reason = lastFailureReason();
        DMAlert alert{DMTexts::connectionFailed, connectFailureText(code, reason), {DMTexts::okButton}};
        alert.informativeText = connectFailureDetail(code, reason);
        context_.actions->presenter()->present(alert, sheetWindow(), nullptr);
    }
}

}  // namespace harbormind
