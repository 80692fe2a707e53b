#include "app/details/DMNetworkDriveViewController.h"

#include <QCoreApplication>
#include <QLayout>

#include "app/common/DMAlertPresenter.h"
#include "app/widgets/DMCapacityMapView.h"
#include "app/details/DMCapacityText.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/drives/DMDriveRuleReasons.h"
#include "app/common/DMFailureText.h"
#include "app/widgets/DMMacDockView.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "platform/NetworkMountStatus.h"

namespace harbormind {

DMNetworkDriveViewController::DMNetworkDriveViewController(DMDetailContext context, QWidget* parent)
    : DMBaseViewController(std::move(context), parent), capacityMap_(new DMCapacityMapView(capacityArea_)) {
    capacityArea_->layout()->addWidget(capacityMap_);
    setFactKeys({DMTr::text(DMTexts::factMountPoint), DMTr::text(DMTexts::factType), "", DMTr::text(DMTexts::factCapacity), DMTr::text(DMTexts::factAvailable), "",
                 DMTr::text(DMTexts::factUrl)});
    actionBar_->setItems(DMDriveRules::networkItems());
}

std::string DMNetworkDriveViewController::connectFailureText(int code, const std::string& reason) {
    switch (code) {
    case 17: return DMTr::text(DMTexts::connect17);
    case 60: return DMTr::text(DMTexts::connect60);
    case 80: return DMTr::text(DMTexts::connect80);
    case -128: return DMTr::text(DMTexts::connectMinus128);
    case -1: return DMTr::text(DMTexts::connectMinus1);
    case 13: return DMTr::text(DMTexts::connect13);
    default:
        if (!reason.empty()) {
            return DMFailureText::sentence(
                QCoreApplication::translate(DMTr::context, "The connection failed: %1")
                    .arg(QString::fromStdString(reason))
                    .toStdString());
        }
        return DMTextFormat::withInteger(DMTr::text(DMTexts::errorCodeContactSupport), code);
    }
}

std::string DMNetworkDriveViewController::connectFailureDetail(int code, const std::string& reason) {
    // The advice is the platform's text, looked up in the catalogue like every other text.
    std::string advice = NetworkMountStatus::advice(code);
    QString detail = advice.empty() ? QString() : QCoreApplication::translate(DMTr::context, advice.c_str());
    if (!reason.empty() && !connectFailureText(code, reason).ends_with(DMFailureText::sentence(reason))) {
        QString words = QCoreApplication::translate(DMTr::context, "Details: %1")
                            .arg(QString::fromStdString(reason));
        detail = detail.isEmpty() ? words : detail + "\n\n" + words;
    }
    return detail.toStdString();
}

void DMNetworkDriveViewController::apply(const DMDriveSnapshot& snapshot) {
    setFact(DMTr::text(DMTexts::factMountPoint), snapshot.own.mountPoint.value_or(DMTr::text(DMTexts::notConnected)));
    setFact(DMTr::text(DMTexts::factType), snapshot.networkType);
    // A drive that is not connected has no size to show: its figures would read as an empty drive.
    const bool connected = snapshot.own.mountPoint.has_value();
    setFact(DMTr::text(DMTexts::factCapacity), connected ? DMCapacityText::size(snapshot.capacity) : std::string());
    setFact(DMTr::text(DMTexts::factAvailable), connected ? DMCapacityText::size(snapshot.free) : std::string());
    setFact(DMTr::text(DMTexts::factUrl), snapshot.url);
    capacityMap_->setTitle(DMTextFormat::withText(DMTr::text(DMTexts::volumeTitleFormat), snapshot.networkType));
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
        DMAlert alert{DMTr::text(DMTexts::connectionFailed), connectFailureText(code, reason), {DMTr::text(DMTexts::okButton)}};
        alert.informativeText = connectFailureDetail(code, reason);
        context_.actions->presenter()->present(alert, sheetWindow(), nullptr);
    }
}

}  // namespace harbormind
