#include "app/DMLocalDriveViewController.h"

#include <QLayout>

#include "app/DMCapacityMapSplitterView.h"
#include "app/DMCapacityText.h"
#include "app/DMDisplayNames.h"
#include "app/DMDriveRuleReasons.h"
#include "app/DMMacDockView.h"
#include "app/DMTexts.h"
#include "app/disktools/DMDriveHealthView.h"

namespace harbormind {

DMLocalDriveViewController::DMLocalDriveViewController(DMDetailContext context, QWidget* parent)
    : DMBaseViewController(std::move(context), parent),
      capacityMaps_(new DMCapacityMapSplitterView(capacityArea_)),
      healthView_(new DMDriveHealthView(this)) {
    capacityArea_->layout()->addWidget(capacityMaps_);
    setFactKeys({DMTexts::factLocation, DMTexts::factCapacity, "", DMTexts::factConnection, DMTexts::factPartitionMap,
                 "", DMTexts::factType, DMTexts::factDevice});
    actionBar_->setItems(DMDriveRules::wholeDiskItems());
    // The disk's health, under its facts.
    contentLayout_->insertWidget(contentLayout_->indexOf(actionBar_) - 1, healthView_);
}

void DMLocalDriveViewController::apply(const DMDriveSnapshot& snapshot) {
    setFact(DMTexts::factLocation, DMDisplayNames::of(snapshot.own.location));
    setFact(DMTexts::factCapacity, DMCapacityText::size(snapshot.capacity));
    setFact(DMTexts::factConnection, DMDisplayNames::of(snapshot.interfaceType));
    setFact(DMTexts::factPartitionMap, DMDisplayNames::of(snapshot.partitionMap));
    setFact(DMTexts::factType, DMDisplayNames::of(snapshot.type));
    setFact(DMTexts::factDevice, snapshot.identifier);
    capacityMaps_->setItems(snapshot.partitions, snapshot.capacity);
    if (healthView_->identifier() != snapshot.identifier) {
        healthView_->load(snapshot.identifier);
    }
}

bool DMLocalDriveViewController::itemRule(const DMMacDockViewBaseItem& item) {
    return DMDriveRules::wholeDiskRule(static_cast<std::uint8_t>(item.action), snapshot());
}

std::string DMLocalDriveViewController::itemRuleReason(const DMMacDockViewBaseItem& item) {
    return DMDriveRuleReasons::wholeDisk(static_cast<std::uint8_t>(item.action), snapshot());
}

}  // namespace harbormind
