#include "app/DMNetworkDriveViewController.h"

#include <QLayout>

#include "app/DMAlertPresenter.h"
#include "app/DMCapacityMapView.h"
#include "app/DMCapacityText.h"
#include "app/DMDriveAction.h"
#include "app/DMDriveActionManager.h"
#include "app/DMMacDockView.h"
#include "app/DMTextFormat.h"
#include "app/DMTexts.h"

namespace harbormind {

DMNetworkDriveViewController::DMNetworkDriveViewController(DMDetailContext context, QWidget* parent)
    : DMBaseViewController(std::move(context), parent), capacityMap_(new DMCapacityMapView(capacityArea_)) {
    capacityArea_->layout()->addWidget(capacityMap_);
    setFactKeys({DMTexts::factMountPoint, DMTexts::factType, "", DMTexts::factCapacity, DMTexts::factAvailable, "",
                 DMTexts::factUrl});
    actionBar_->setItems(DMDriveRules::networkItems());
}

std::string DMNetworkDriveViewController::connectFailureText(int code) {
    switch (code) {
    case 17: return DMTexts::connect17;
    case 60: return DMTexts::connect60;
    case 80: return DMTexts::connect80;
    case -128: return DMTexts::connectMinus128;
    case -1: return DMTexts::connectMinus1;
    case 13: return DMTexts::connect13;
    default: return DMTextFormat::withInteger(DMTexts::errorCodeContactSupport, code);
    }
}

void DMNetworkDriveViewController::apply(const DMDriveSnapshot& snapshot) {
    setFact(DMTexts::factMountPoint, snapshot.own.mountPoint.value_or(DMTexts::notConnected));
    setFact(DMTexts::factType, snapshot.networkType);
    setFact(DMTexts::factCapacity, DMCapacityText::size(snapshot.capacity));
    setFact(DMTexts::factAvailable, DMCapacityText::size(snapshot.free));
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

void DMNetworkDriveViewController::actionFinished(std::uint8_t action, int code) {
    if (action != DMDriveAction::mount || code == 0) {
        refresh();
        return;
    }
    if (context_.actions) {
        context_.actions->presenter()->present({DMTexts::connectionFailed, connectFailureText(code), {DMTexts::okButton}},
                                               sheetWindow(), nullptr);
    }
}

}  // namespace harbormind
